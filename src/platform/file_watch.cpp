#include "platform/file_watch.h"

#include <chrono>
#include <filesystem>

namespace {
constexpr std::uint64_t kLookEveryMs = 500;
}

FileWatch::FileWatch(std::string path, std::uint64_t nowMs) : path_(std::move(path)), lastLookMs_(nowMs)
{
    seen_ = Look();
}

FileWatch::Stamp FileWatch::Look() const
{
    namespace fs = std::filesystem;
    Stamp stamp;
    std::error_code error;
    const fs::file_time_type modified = fs::last_write_time(path_, error);
    if (error) return stamp;
    const std::uintmax_t size = fs::file_size(path_, error);
    stamp.exists = true;
    stamp.modified = std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count();
    stamp.size = error ? -1 : std::int64_t(size);  // a folder has no size, and changes by its time
    return stamp;
}

bool FileWatch::Changed(std::uint64_t nowMs)
{
    if (nowMs < lastLookMs_ + kLookEveryMs) return false;
    lastLookMs_ = nowMs;
    const Stamp now = Look();
    // An editor that saves by removing and rewriting leaves the file missing for a moment: wait
    // until it is back rather than reporting a timeline that cannot be read.
    if (!now.exists || !(now != seen_)) return false;
    seen_ = now;
    return true;
}
