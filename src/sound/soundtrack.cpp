// The renderer: the notes that sound at a frame, mixed in the order the score lists them (so the
// sums round the same way however the frames are cut into calls), sent through the shared
// effects, and mastered by the limiter, a few milliseconds ahead of what is asked. A jump
// rebuilds the sounding notes from their note-ons and replays the effects' and the limiter's
// warm-up; continuing where the last call stopped costs nothing extra.
#include "sound/soundtrack.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <stk/PoleZero.h>

#include "sound/effects.h"
#include "sound/limiter.h"
#include "sound/voice.h"

#ifndef TARNELVOIS_STK_VERSION
#define TARNELVOIS_STK_VERSION "unknown"
#endif

namespace audio {
namespace {

// Oscillators that start at phase zero and decay (a kick's sweep, a saw's integrator) leave a
// little DC; a pole at about 15 Hz takes it out without touching the bass.
constexpr double kDcPole = 0.998;
// The last half second fades to nothing, so the piece is silent when the picture ends whatever
// the reverb still holds.
constexpr std::int64_t kEndFadeFrames = kSampleRate / 2;
// The master's ceiling, between the samples too: an AAC encoder's rebuilt wave overshoots what it
// was given by up to about a decibel, and the encoded sound must stay at or below -1 dBTP.
constexpr double kCeilingDb = -3.0;

std::int16_t ToSample(double x) {
    const double scaled = std::round(x * 32767.0);
    return static_cast<std::int16_t>(std::clamp(scaled, -32767.0, 32767.0));
}

}  // namespace

const char* SynthesizerVersion() { return TARNELVOIS_STK_VERSION; }

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

    explicit State(const Soundtrack& soundtrack)
        : score(soundtrack.score()), effects(score), limiter(std::pow(10.0, kCeilingDb / 20)) {}

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
    // effects fed from their warm start, the limiter from its memory's reach.
    void Seek(std::int64_t at) {
        // Before the piece the limiter hears silence, and its gain is already down for a loud
        // first frame.
        const std::int64_t limiterFrom = at - Limiter::kMemoryFrames;
        const std::int64_t from = effects.WarmStart(std::max<std::int64_t>(0, limiterFrom));
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
        for (position = from; position < limiterFrom;) Frame();
        position = std::min(position, limiterFrom);
        limiter.Reset();
        double ignored[2];
        while (position < at + Limiter::kLatencyFrames) Limited(ignored);
    }

    // The limited frame Limiter::kLatencyFrames before position, mixing the one at position.
    void Limited(double out[2]) {
        double mixed[2] = {0, 0};
        if (position < 0) ++position;
        else Frame(mixed);
        limiter.Process(mixed, out);
        if (limiter.LastGainDb() < 0) {
            ++limiting.frames;
            limiting.deepestDb = std::min(limiting.deepestDb, limiter.LastGainDb());
        }
    }

    // Mixes the frame at position and moves on; the mastered sum before the final stage.
    void Frame(double* mixed = nullptr) {
        while (next < score.notes.size() && score.notes[next].onset == position) sounding.push_back(Start(next++));
        double dry[2] = {0, 0}, reverb[2] = {0, 0}, echo[2] = {0, 0};
        bool anyEnds = false;
        for (Sounding& sound : sounding) {
            double sample = sound.dcBlocker->tick(sound.voice->Tick());
            const std::int64_t left = sound.end - position;
            if (left < kNoteFadeFrames) {
                sample *= static_cast<double>(left) / kNoteFadeFrames;
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
            if (const std::int64_t left = score.frames - position; left < kEndFadeFrames) {
                gain *= double(std::max<std::int64_t>(left, 0)) / kEndFadeFrames;
            }
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
    Limiter limiter;
    SoundtrackRenderer::Limiting limiting;
    std::vector<Sounding> sounding;  // in the score's note order
    std::size_t next = 0;            // the first note not yet started
    std::int64_t position = -1;      // the frame Frame() mixes next; -1: nowhere yet
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
        if (at + Limiter::kLatencyFrames != state_->position) state_->Seek(at);
        double limited[2];
        state_->Limited(limited);
        out[2 * i] = ToSample(limited[0]);
        out[2 * i + 1] = ToSample(limited[1]);
    }
}

SoundtrackRenderer::Limiting SoundtrackRenderer::Limited() const { return state_->limiting; }

}  // namespace audio
