// The instruments: FM (two sine operators), subtractive (band-limited saw or square through a
// resonant low-pass with its own sweep), and drums made of sine sweeps and filtered noise.
#include "sound/voice.h"

#include <stk/ADSR.h>
#include <stk/BiQuad.h>
#include <stk/BlitSaw.h>
#include <stk/BlitSquare.h>
#include <stk/SineWave.h>

#include <cmath>
#include <mutex>

#include "sound/noise.h"
#include "sound/soundtrack.h"

namespace audio {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Filters follow their sweeps in small steps: recomputing the coefficients every sample costs
// more than the ear can tell apart.
constexpr int kFilterUpdateFrames = 32;

// The note's own amplitude: attack, decay, sustain while held, release after the note-off, and
// an optional exponential ring over all of it.
class Amplitude {
public:
    Amplitude(const Patch& patch, std::int64_t length) : length_(length) {
        envelope_.setAttackTime(patch.attack);
        envelope_.setDecayTime(patch.decay);
        envelope_.setSustainLevel(patch.sustain);
        // From full scale to silence in the release time, whatever the level at the note-off.
        envelope_.setReleaseRate(1.0 / (patch.release * kSampleRate));
        envelope_.keyOn();
        ringStep_ = patch.ring > 0 ? std::exp(-1.0 / (patch.ring * kSampleRate)) : 1.0;
    }
    double Tick() {
        if (age_++ == length_) envelope_.keyOff();
        ring_ *= ringStep_;
        return envelope_.tick() * ring_;
    }
    double Age() const { return static_cast<double>(age_) / kSampleRate; }

private:
    stk::ADSR envelope_;
    std::int64_t length_;
    std::int64_t age_ = 0;
    double ring_ = 1.0;
    double ringStep_ = 1.0;
};

// The low-pass and the high-pass of one cutoff and resonance differ only in their zeros.
void SetPassFilter(stk::BiQuad& filter, double frequency, double q, bool highPass) {
    frequency = std::min(frequency, 0.45 * kSampleRate);
    const double w = 2 * kPi * frequency / kSampleRate;
    const double alpha = std::sin(w) / (2 * q);
    const double cosine = std::cos(w);
    const double a0 = 1 + alpha;
    const double edge = highPass ? 1 + cosine : 1 - cosine;
    const double middle = highPass ? -edge : edge;
    filter.setCoefficients(edge / 2 / a0, middle / a0, edge / 2 / a0, -2 * cosine / a0, (1 - alpha) / a0);
}

void SetLowPass(stk::BiQuad& filter, double frequency, double q) { SetPassFilter(filter, frequency, q, false); }
void SetHighPass(stk::BiQuad& filter, double frequency, double q) { SetPassFilter(filter, frequency, q, true); }

class FmVoice : public Voice {
public:
    FmVoice(const Patch& patch, const Note& note) : amplitude_(patch, note.length), patch_(patch), frequency_(note.frequency) {
        carrier_.setFrequency(note.frequency);
        modulator_.setFrequency(note.frequency * patch.ratio);
        twin_ = patch.detune > 0;
        const double detuned = note.frequency * std::pow(2.0, patch.detune / 1200);
        twinCarrier_.setFrequency(detuned);
        twinModulator_.setFrequency(detuned * patch.ratio);
        indexStep_ = std::exp(-1.0 / (patch.indexDecay * kSampleRate));
        index_ = patch.index;
    }
    double Tick() override {
        if (patch_.vibrato > 0 && (frames_++ % kFilterUpdateFrames) == 0) {
            const double age = amplitude_.Age();
            const double depth = patch_.vibrato * std::min(1.0, age);
            const double cents = depth * std::sin(2 * kPi * 5.0 * age);
            const double frequency = frequency_ * std::pow(2.0, cents / 1200);
            carrier_.setFrequency(frequency);
            modulator_.setFrequency(frequency * patch_.ratio);
        }
        carrier_.addPhaseOffset(modulator_.tick() * index_ / (2 * kPi));
        double sound = carrier_.tick();
        if (twin_) {
            // A second pair a few cents apart: the slow beating of a chorus, for pads.
            twinCarrier_.addPhaseOffset(twinModulator_.tick() * index_ / (2 * kPi));
            sound = 0.5 * (sound + twinCarrier_.tick());
        }
        index_ *= indexStep_;
        return sound * amplitude_.Tick();
    }

private:
    Amplitude amplitude_;
    const Patch& patch_;
    double frequency_;
    stk::SineWave carrier_;
    stk::SineWave modulator_;
    stk::SineWave twinCarrier_;
    stk::SineWave twinModulator_;
    bool twin_ = false;
    double index_ = 0;
    double indexStep_ = 1;
    std::int64_t frames_ = 0;
};

template <typename Oscillator>
class SubtractiveVoice : public Voice {
public:
    SubtractiveVoice(const Patch& patch, const Note& note) : amplitude_(patch, note.length), patch_(patch) {
        first_.setFrequency(note.frequency);
        second_.setFrequency(note.frequency * std::pow(2.0, patch.detune / 1200));
        sweepStep_ = std::exp(-1.0 / (patch.envelopeDecay * kSampleRate / kFilterUpdateFrames));
        sweep_ = patch.envelope;
    }
    double Tick() override {
        if (frames_++ % kFilterUpdateFrames == 0) {
            SetLowPass(filter_, patch_.cutoff * std::pow(2.0, sweep_), patch_.q);
            sweep_ *= sweepStep_;
        }
        double sound = first_.tick();
        if (patch_.detune > 0) sound = 0.5 * (sound + second_.tick());
        return filter_.tick(sound) * amplitude_.Tick();
    }

private:
    Amplitude amplitude_;
    const Patch& patch_;
    Oscillator first_;
    Oscillator second_;
    stk::BiQuad filter_;
    double sweep_ = 0;
    double sweepStep_ = 1;
    std::int64_t frames_ = 0;
};

// A sine falling from punch times the note's pitch to the pitch, with a click of noise on top.
class KickVoice : public Voice {
public:
    KickVoice(const Patch& patch, const Note& note, std::uint32_t seed)
        : patch_(patch), frequency_(note.frequency), noise_(seed) {
        decayStep_ = std::exp(-1.0 / (patch.decay * kSampleRate));
        sweepStep_ = std::exp(-1.0 / (patch.sweep * kSampleRate / kFilterUpdateFrames));
        bend_ = patch.punch - 1;
    }
    double Tick() override {
        if (frames_ % kFilterUpdateFrames == 0) {
            body_.setFrequency(frequency_ * (1 + bend_));
            bend_ *= sweepStep_;
        }
        const double click = frames_ < 96 ? noise_.Next() * (1.0 - frames_ / 96.0) * 0.3 : 0.0;
        ++frames_;
        level_ *= decayStep_;
        return (body_.tick() + click) * level_;
    }

private:
    const Patch& patch_;
    double frequency_;
    NoiseSource noise_;
    stk::SineWave body_;
    double level_ = 1;
    double decayStep_ = 1;
    double bend_ = 0;
    double sweepStep_ = 1;
    std::int64_t frames_ = 0;
};

// A short tone for the drum's body and band-passed noise for its rattle.
class SnareVoice : public Voice {
public:
    SnareVoice(const Patch& patch, const Note& note, std::uint32_t seed) : patch_(patch), noise_(seed) {
        body_.setFrequency(note.frequency);
        SetHighPass(filter_, patch.cutoff, 0.8);
        decayStep_ = std::exp(-1.0 / (patch.decay * kSampleRate));
        bodyStep_ = std::exp(-1.0 / (0.04 * kSampleRate));
    }
    double Tick() override {
        level_ *= decayStep_;
        bodyLevel_ *= bodyStep_;
        const double rattle = filter_.tick(noise_.Next()) * level_ * patch_.noise;
        return rattle + body_.tick() * bodyLevel_ * (1 - patch_.noise);
    }

private:
    const Patch& patch_;
    NoiseSource noise_;
    stk::SineWave body_;
    stk::BiQuad filter_;
    double level_ = 1, decayStep_ = 1, bodyLevel_ = 1, bodyStep_ = 1;
};

class HatVoice : public Voice {
public:
    HatVoice(const Patch& patch, std::uint32_t seed) : noise_(seed) {
        SetHighPass(filter_, patch.cutoff, 0.7);
        decayStep_ = std::exp(-1.0 / (patch.decay * kSampleRate));
    }
    double Tick() override {
        level_ *= decayStep_;
        return filter_.tick(noise_.Next()) * level_;
    }

private:
    NoiseSource noise_;
    stk::BiQuad filter_;
    double level_ = 1, decayStep_ = 1;
};

}  // namespace

void PrepareSynthesis() {
    static std::once_flag once;
    std::call_once(once, [] {
        stk::Stk::setSampleRate(kSampleRate);
        // The first sine oscillator fills the table all of them share; made here, under the
        // once flag, no two threads race to fill it.
        stk::SineWave table;
        (void)table;
    });
}

std::unique_ptr<Voice> MakeVoice(const Patch& patch, const Note& note, std::uint32_t seed) {
    switch (patch.kind) {
    case PatchKind::Fm: return std::make_unique<FmVoice>(patch, note);
    case PatchKind::Saw: return std::make_unique<SubtractiveVoice<stk::BlitSaw>>(patch, note);
    case PatchKind::Square: return std::make_unique<SubtractiveVoice<stk::BlitSquare>>(patch, note);
    case PatchKind::Kick: return std::make_unique<KickVoice>(patch, note, seed);
    case PatchKind::Snare: return std::make_unique<SnareVoice>(patch, note, seed);
    case PatchKind::Hat: return std::make_unique<HatVoice>(patch, seed);
    }
    return nullptr;
}

}  // namespace audio
