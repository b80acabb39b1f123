// The renderer: the notes that sound at a frame, mixed in the order the score lists them (so the
// sums round the same way however the frames are cut into calls), sent through the shared
// effects, and mastered. A jump rebuilds the sounding notes from their note-ons and replays the
// effects' warm-up; continuing where the last call stopped costs nothing extra.
#include "audio/soundtrack.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/effects.h"
#include "audio/voice.h"

namespace audio {
namespace {

// A note fades out over its last frames, so a sound cut where its decay is judged over never
// clicks.
constexpr std::int64_t kTailFadeFrames = 240;
// The master's soft ceiling: untouched below the knee, bent smoothly towards the ceiling above
// it, so a chance peak is rounded rather than clipped.
constexpr double kKnee = 0.6;
constexpr double kCeiling = 0.84;

double Master(double x) {
    const double magnitude = std::fabs(x);
    if (magnitude <= kKnee) return x;
    const double room = kCeiling - kKnee;
    const double bent = kKnee + room * std::tanh((magnitude - kKnee) / room);
    return x < 0 ? -bent : bent;
}

std::int16_t ToSample(double x) {
    const double scaled = std::round(Master(x) * 32767.0);
    return static_cast<std::int16_t>(std::clamp(scaled, -32767.0, 32767.0));
}

}  // namespace

std::unique_ptr<Soundtrack> Soundtrack::Parse(const std::string& text, const std::string& source,
                                              const Timeline& timeline, std::string& error) {
    std::unique_ptr<Soundtrack> soundtrack(new Soundtrack());
    if (!ParseScore(text, source, timeline, soundtrack->score_, error)) return nullptr;
    return soundtrack;
}

struct SoundtrackRenderer::State {
    struct Sounding {
        std::size_t note;
        std::unique_ptr<Voice> voice;
        double left, right;  // level and panning together
    };

    explicit State(const Soundtrack& soundtrack) : score(soundtrack.score()), effects(score) {}

    Sounding Start(std::size_t index) const {
        const Note& note = score.notes[index];
        const Patch& patch = score.patches[note.patch];
        const double angle = (patch.pan + 1) * 0.25 * 3.14159265358979323846;
        return Sounding{index, MakeVoice(patch, note, static_cast<std::uint32_t>(index)),
                        note.level * std::cos(angle) * std::sqrt(2.0), note.level * std::sin(angle) * std::sqrt(2.0)};
    }

    // Makes the renderer's next frame at: the sounding notes rebuilt from their note-ons, the
    // effects fed from their warm start.
    void Seek(std::int64_t at) {
        const std::int64_t from = Effects::WarmStart(at);
        sounding.clear();
        next = 0;
        while (next < score.notes.size() && score.notes[next].onset < from) {
            const Note& note = score.notes[next];
            if (note.end > from) {
                sounding.push_back(Start(next));
                for (std::int64_t frame = note.onset; frame < from; ++frame) sounding.back().voice->Tick();
            }
            ++next;
        }
        for (position = from; position < at;) Frame();
    }

    // Mixes the frame at position and moves on; the mastered sum before the final stage.
    void Frame(double* mixed = nullptr) {
        while (next < score.notes.size() && score.notes[next].onset == position) sounding.push_back(Start(next++));
        double dry[2] = {0, 0}, reverb[2] = {0, 0}, echo[2] = {0, 0};
        for (Sounding& sound : sounding) {
            const Note& note = score.notes[sound.note];
            const Patch& patch = score.patches[note.patch];
            double sample = sound.voice->Tick();
            const std::int64_t left = note.end - position;
            if (left < kTailFadeFrames) sample *= static_cast<double>(left) / kTailFadeFrames;
            const double l = sample * sound.left, r = sample * sound.right;
            dry[0] += l;
            dry[1] += r;
            reverb[0] += l * patch.reverb;
            reverb[1] += r * patch.reverb;
            echo[0] += l * patch.echo;
            echo[1] += r * patch.echo;
        }
        double wet[2];
        effects.Process(position, reverb, echo, wet);
        if (mixed != nullptr) {
            mixed[0] = (dry[0] + wet[0]) * score.masterGain;
            mixed[1] = (dry[1] + wet[1]) * score.masterGain;
        }
        ++position;
        sounding.erase(std::remove_if(sounding.begin(), sounding.end(),
                                      [&](const Sounding& sound) { return score.notes[sound.note].end <= position; }),
                       sounding.end());
    }

    const Score& score;
    Effects effects;
    std::vector<Sounding> sounding;  // in the score's note order
    std::size_t next = 0;            // the first note not yet started
    std::int64_t position = -1;      // the frame Frame() renders next; -1: nowhere yet
};

SoundtrackRenderer::SoundtrackRenderer(const Soundtrack& soundtrack) {
    PrepareSynthesis();
    state_ = std::make_unique<State>(soundtrack);
}

SoundtrackRenderer::~SoundtrackRenderer() = default;

void SoundtrackRenderer::Render(std::int64_t first, std::int64_t count, std::int16_t* out) {
    const std::int64_t frames = state_->score.frames;
    for (std::int64_t i = 0; i < count; ++i) {
        const std::int64_t at = first + i;
        if (at < 0 || at >= frames) {
            out[2 * i] = out[2 * i + 1] = 0;
            continue;
        }
        if (at != state_->position) state_->Seek(at);
        double mixed[2];
        state_->Frame(mixed);
        out[2 * i] = ToSample(mixed[0]);
        out[2 * i + 1] = ToSample(mixed[1]);
    }
}

}  // namespace audio
