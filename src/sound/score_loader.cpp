#include "sound/score_loader.h"

#include <cstdint>
#include <vector>

bool LoadScore(const Archive& archive, const Timeline& timeline, std::unique_ptr<audio::Soundtrack>& soundtrack,
               std::string& error)
{
    soundtrack.reset();
    if (!archive.Contains(kScoreEntry)) return true;
    std::vector<std::uint8_t> bytes;
    if (!archive.Read(kScoreEntry, bytes, error)) return false;
    const std::string text(bytes.begin(), bytes.end());
    soundtrack = audio::Soundtrack::Parse(text, archive.Path() + ":" + kScoreEntry, timeline, error);
    return soundtrack != nullptr;
}
