#include "sound/score_loader.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// A path as the build wrote it: one line of printable text, nothing a terminal would act on.
bool IsPlainPath(const std::string& text)
{
    constexpr std::size_t kLongestPath = 4096;
    return !text.empty() && text.size() <= kLongestPath &&
           std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

}  // namespace

std::string ScoreSourceName(const Archive& archive)
{
    const std::string packed = archive.Path() + ":" + kScoreEntry;
    std::vector<std::uint8_t> bytes;
    std::string ignored;
    if (!archive.Contains(kScoreSourceEntry) || !archive.Read(kScoreSourceEntry, bytes, ignored)) return packed;
    std::string path(bytes.begin(), bytes.end());
    while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
    return IsPlainPath(path) ? path : packed;
}

bool LoadScore(const Archive& archive, const Timeline& timeline, std::unique_ptr<audio::Soundtrack>& soundtrack,
               std::string& error, std::vector<std::string>& unplaced)
{
    soundtrack.reset();
    unplaced.clear();
    if (!archive.Contains(kScoreEntry)) return true;
    std::vector<std::uint8_t> bytes;
    if (!archive.Read(kScoreEntry, bytes, error)) return false;
    const std::string text(bytes.begin(), bytes.end());
    soundtrack = audio::Soundtrack::Parse(text, ScoreSourceName(archive), timeline, error, &unplaced);
    return soundtrack != nullptr;
}
