// The voice limit: the notes walked in order of onset, counting those that still sound; a note
// beyond the limit takes the place of the oldest one.
#include <algorithm>
#include <map>

#include "sound/score_parser.h"

namespace audio::scoring {
namespace {

// Beyond this many lines that exceed the limit, one warning counts the rest.
constexpr std::size_t kWarnedLines = 5;

struct Excess {
    std::int64_t firstOnset = 0;
    std::int64_t notes = 0;
};

}  // namespace

void LimitVoices(std::vector<Note>& notes, std::vector<std::pair<int, std::string>>& warnings) {
    std::vector<std::size_t> sounding;  // oldest first
    std::vector<bool> cut(notes.size()), removed(notes.size());
    std::map<int, Excess> excess;  // by line
    const auto count = [&](std::size_t i) {
        Excess& counted = excess[notes[i].line];
        if (counted.notes++ == 0) counted.firstOnset = notes[i].onset;
    };
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const std::int64_t now = notes[i].onset;
        sounding.erase(std::remove_if(sounding.begin(), sounding.end(), [&](std::size_t j) { return notes[j].end <= now; }),
                       sounding.end());
        const auto whole = [&](std::size_t j) { return !cut[j]; };
        if (static_cast<std::size_t>(std::count_if(sounding.begin(), sounding.end(), whole)) >= kMaxVoices) {
            const auto oldest = std::find_if(sounding.begin(), sounding.end(), whole);
            Note& victim = notes[*oldest];
            if (victim.onset == now) {
                // Not heard yet: it gives way without a sound.
                removed[*oldest] = true;
                sounding.erase(oldest);
            } else {
                victim.end = std::min(victim.end, now + kNoteFadeFrames);
                cut[*oldest] = true;
            }
            count(i);
        }
        // Notes cut short still fade; so many at once means notes arrive faster than they fade.
        if (sounding.size() >= 2 * kMaxVoices) {
            removed[i] = true;
            count(i);
            continue;
        }
        sounding.push_back(i);
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        if (!removed[i]) notes[kept++] = notes[i];
    }
    notes.resize(kept);

    std::size_t warned = 0;
    for (const auto& [line, counted] : excess) {
        if (warned++ == kWarnedLines) {
            warnings.emplace_back(line, "and " + std::to_string(excess.size() - kWarnedLines) +
                                            " more lines place notes beyond the limit of " + std::to_string(kMaxVoices));
            break;
        }
        const std::int64_t ms = counted.firstOnset * 1000 / kSampleRate;
        warnings.emplace_back(line, "more than " + std::to_string(kMaxVoices) + " notes at once from " +
                                        std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 + 1000).substr(1) +
                                        " s: the oldest cut short or left out (" + std::to_string(counted.notes) + ")");
    }
}

}  // namespace audio::scoring
