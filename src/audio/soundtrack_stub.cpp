// Stand-in for the synthesizer until it lands: "click MS" lines; a quiet sawtooth elsewhere.
#include <sstream>
#include <vector>

#include "audio/soundtrack.h"

namespace audio {
namespace {
class StubSoundtrack : public Soundtrack {
public:
    std::int64_t Frames() const override { return frames; }
    std::int64_t frames = 0;
    std::vector<std::int64_t> clicks;
};
}  // namespace

std::unique_ptr<Soundtrack> Soundtrack::Parse(const std::string& text, const std::string& source,
                                              const Timeline& timeline, std::string& error)
{
    auto track = std::make_unique<StubSoundtrack>();
    track->frames = std::int64_t(timeline.endTime) * kSampleRate / 1000;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream words(line);
        std::string word;
        long long ms = 0;
        if (!(words >> word) || word[0] == '#') continue;
        if (word != "click" || !(words >> ms)) {
            error = source + ":" + std::to_string(number) + ": expected 'click MS'";
            return nullptr;
        }
        track->clicks.push_back(ms * kSampleRate / 1000);
    }
    return track;
}

struct SoundtrackRenderer::State {
    const StubSoundtrack* track;
};

SoundtrackRenderer::SoundtrackRenderer(const Soundtrack& soundtrack)
    : state_(new State{static_cast<const StubSoundtrack*>(&soundtrack)})
{
}
SoundtrackRenderer::~SoundtrackRenderer() = default;

void SoundtrackRenderer::Render(std::int64_t first, std::int64_t count, std::int16_t* out)
{
    for (std::int64_t i = 0; i < count; ++i) {
        const std::int64_t frame = first + i;
        int value = 0;
        if (frame >= 0 && frame < state_->track->frames) {
            value = int(frame % 200) * 40 - 3990;
            for (std::int64_t click : state_->track->clicks)
                if (frame >= click && frame < click + 480) value = (frame - click) % 20 < 10 ? 30000 : -30000;
        }
        out[2 * i] = std::int16_t(value);
        out[2 * i + 1] = std::int16_t(-value);
    }
}

}  // namespace audio
