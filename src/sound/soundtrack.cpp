// The renderer: the notes that sound at a frame, mixed in the order the score lists them (so the
// sums round the same way however the frames are cut into calls), sent through the shared
// effects, and mastered. A jump rebuilds the sounding notes from their note-ons and replays the
// effects' warm-up; continuing where the last call stopped costs nothing extra.
#include "sound/soundtrack.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <stk/PoleZero.h>

#include "sound/effects.h"
#include "sound/voice.h"

namespace audio {
namespace {

// A note fades out over its last frames, so a sound cut where its decay is judged over never
// clicks.
constexpr std::int64_t kTailFadeFrames = 240;
// Oscillators that start at phase zero and decay (a kick's sweep, a saw's integrator) leave a
// little DC; a pole at about 15 Hz takes it out without touching the bass.
constexpr double kDcPole = 0.998;
// The master's soft ceiling: untouched below the knee, bent smoothly towards the ceiling above
// it, so a chance peak is rounded rather than clipped.
constexpr double kKnee = 0.6;
// The last half second fades to nothing, so the piece is silent when the picture ends whatever
// the reverb still holds.
constexpr std::int64_t kEndFadeFrames = kSampleRate / 2;
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
                                              const Timeline& timeline, std::string& error,
                                              std::vector<std::string>* unplaced) {
    std::unique_ptr<Soundtrack> soundtrack(new Soundtrack());
    if (!ParseScore(text, source, timeline, soundtrack->score_, error, unplaced)) return nullptr;
    return soundtrack;
}

struct SoundtrackRenderer::State {
    struct Sounding {
        std::size_t note;
        std::unique_ptr<Voice> voice;
        std::int64_t end;
        double left, right;  // level and panning together
        double reverb, echo;  // the patch's sends
        // Each note's own DC blocker: started with the note like the voice, so it seeks exactly.
        std::unique_ptr<stk::PoleZero> dcBlocker;
    };

    explicit State(const Soundtrack& soundtrack) : score(soundtrack.score()), effects(score) {}

    Sounding Start(std::size_t index) const {
        const Note& note = score.notes[index];
        const Patch& patch = score.patches[note.patch];
        const double angle = (patch.pan + 1) * 0.25 * 3.14159265358979323846;
        auto dcBlocker = std::make_unique<stk::PoleZero>();
        dcBlocker->setBlockZero(kDcPole);
        return Sounding{index, MakeVoice(patch, note, static_cast<std::uint32_t>(index)), note.end,
                        note.level * std::cos(angle) * std::sqrt(2.0), note.level * std::sin(angle) * std::sqrt(2.0),
                        patch.reverb, patch.echo, std::move(dcBlocker)};
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
                for (std::int64_t frame = note.onset; frame < from; ++frame) {
                    sounding.back().dcBlocker->tick(sounding.back().voice->Tick());
                }
            }
            ++next;
        }
        for (position = from; position < at;) Frame();
    }

    // Mixes the frame at position and moves on; the mastered sum before the final stage.
    void Frame(double* mixed = nullptr) {
        while (next < score.notes.size() && score.notes[next].onset == position) sounding.push_back(Start(next++));
        double dry[2] = {0, 0}, reverb[2] = {0, 0}, echo[2] = {0, 0};
        bool anyEnds = false;
        for (Sounding& sound : sounding) {
            double sample = sound.dcBlocker->tick(sound.voice->Tick());
            const std::int64_t left = sound.end - position;
            if (left < kTailFadeFrames) {
                sample *= static_cast<double>(left) / kTailFadeFrames;
                anyEnds = anyEnds || left == 1;
            }
            const double l = sample * sound.left, r = sample * sound.right;
            dry[0] += l;
            dry[1] += r;
            reverb[0] += l * sound.reverb;
            reverb[1] += r * sound.reverb;
            echo[0] += l * sound.echo;
            echo[1] += r * sound.echo;
        }
        double wet[2];
        effects.Process(position, reverb, echo, wet);
        if (mixed != nullptr) {
            double gain = score.masterGain;
            if (const std::int64_t left = score.frames - position; left < kEndFadeFrames) gain *= double(left) / kEndFadeFrames;
            mixed[0] = (dry[0] + wet[0]) * gain;
            mixed[1] = (dry[1] + wet[1]) * gain;
        }
        ++position;
        if (anyEnds) {
            sounding.erase(std::remove_if(sounding.begin(), sounding.end(),
                                          [&](const Sounding& sound) { return sound.end <= position; }),
                           sounding.end());
        }
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
