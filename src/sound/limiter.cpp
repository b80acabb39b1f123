// The limiter, one frame at a time: a frame's peak (its own and the oversampled ones up to the
// next frame) gives the gain it needs; that need is held over the look-ahead, recovered from at
// a rate that depends only on the gain, and smoothed over the look-ahead, so the gain reaches the need as its peak does.
#include "sound/limiter.h"

#include <algorithm>
#include <cmath>

#include "sound/soundtrack.h"

namespace audio {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kPhases = 3;  // the points a quarter, a half and three quarters of the way on
constexpr int kTaps = 2 * Limiter::kInterpolationReach;

// Windowed-sinc weights of frames j-3 .. j+4 for the points between j and j+1.
struct Interpolation {
    double weights[kPhases][kTaps];
    Interpolation() {
        for (int phase = 0; phase < kPhases; ++phase) {
            const double fraction = (phase + 1) / 4.0;
            for (int tap = 0; tap < kTaps; ++tap) {
                const double distance = tap - (Limiter::kInterpolationReach - 1) - fraction;
                const double window = 0.5 * (1 + std::cos(kPi * distance / (Limiter::kInterpolationReach + 0.5)));
                weights[phase][tap] = std::sin(kPi * distance) / (kPi * distance) * window;
            }
        }
    }
};
const Interpolation kInterpolation;

}  // namespace

Limiter::Limiter(double ceiling) : ceiling_(ceiling) {}

void Limiter::Reset() {
    input_ = {};
    needDb_ = {};
    gainDb_ = {};
    taken_ = 0;
    recovering_ = 0;
    lastGainDb_ = 0;
}

double Limiter::PeakAfter(std::int64_t frame) const {
    double peak = 0;
    for (int channel = 0; channel < 2; ++channel) {
        peak = std::max(peak, std::fabs(input_[frame % kRing][channel]));
        for (const auto& weights : kInterpolation.weights) {
            double between = 0;
            for (int tap = 0; tap < kTaps; ++tap) {
                between += weights[tap] * input_[(frame - (kInterpolationReach - 1) + tap + kRing) % kRing][channel];
            }
            peak = std::max(peak, std::fabs(between));
        }
    }
    return peak;
}

void Limiter::Process(const double in[2], double out[2]) {
    const std::int64_t taken = taken_++;
    input_[taken % kRing] = {in[0], in[1]};

    // The peak of the frame whose neighbours are all in now.
    const std::int64_t judged = taken - kInterpolationReach;
    if (judged >= 0) {
        const double peak = PeakAfter(judged);
        needDb_[judged % kRing] =
            peak > ceiling_ ? std::max(kDeepestDb, 20 * std::log10(ceiling_ / peak)) : 0.0;
    }

    // The gain of the frame a look-ahead before: the deepest need ahead of it, or the recovery.
    const std::int64_t held = judged - kLookAheadFrames;
    double gainDb = 0;
    if (held >= 0) {
        double deepest = 0;
        for (std::int64_t frame = held; frame <= judged; ++frame) deepest = std::min(deepest, needDb_[frame % kRing]);
        const double climb = (kRecoveryDbPerSecond - kRecoveryPerSecondPerDb * recovering_) / kSampleRate;
        recovering_ = std::min({deepest, recovering_ + climb, 0.0});
        gainDb_[held % kRing] = recovering_;
        double sum = 0;
        for (std::int64_t frame = held - kLookAheadFrames + 1; frame <= held; ++frame) sum += gainDb_[(frame + kRing) % kRing];
        gainDb = sum / kLookAheadFrames;
    }
    lastGainDb_ = gainDb;
    const auto& delayed = input_[(held + kRing) % kRing];
    const double gain = gainDb < 0 ? std::pow(10.0, gainDb / 20) : 1.0;
    out[0] = held >= 0 ? delayed[0] * gain : 0;
    out[1] = held >= 0 ? delayed[1] * gain : 0;
}

}  // namespace audio
