#include "platform/file_watch.h"

#include <sys/stat.h>

namespace {
constexpr std::uint64_t kLookEveryMs = 500;
}

FileWatch::FileWatch(std::string path, std::uint64_t nowMs) : path_(std::move(path)), lastLookMs_(nowMs)
{
    seen_ = Look();
}

FileWatch::Stamp FileWatch::Look() const
{
    Stamp stamp;
    struct stat status {};
    if (stat(path_.c_str(), &status) != 0) return stamp;
    stamp.exists = true;
    stamp.modified = std::int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    stamp.size = status.st_size;
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
