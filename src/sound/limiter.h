// The master's true-peak limiter: it looks a little ahead, so the gain is already down when a
// peak arrives, and then climbs back in decibels. Peaks are judged between the samples
// too (four times oversampled), since a converter or an encoder rebuilds the wave between them.
//
// Its output is a function of its input over a bounded stretch: fed from silence at least
// kMemoryFrames before a frame, it gives that frame exactly as a limiter that ran all along, so
// the soundtrack can still start anywhere.
#pragma once

#include <array>
#include <cstdint>

namespace audio {

class Limiter {
public:
    static constexpr int kLookAheadFrames = 96;  // 2 ms: the gain's slide down before a peak
    // The oversampled peak between two frames needs this many frames after them.
    static constexpr int kInterpolationReach = 4;
    static constexpr int kLatencyFrames = kLookAheadFrames + kInterpolationReach;
    static constexpr double kDeepestDb = -96;
    // The gain climbs back at 20 dB a second near full level and faster the deeper it is
    // (4 dB a second more for each dB down): a small cut recovers gently, a deep one within
    // 0.75 s of the last peak that needed it.
    static constexpr double kRecoveryDbPerSecond = 20;
    static constexpr double kRecoveryPerSecondPerDb = 4;
    static constexpr std::int64_t kMemoryFrames = 48000 + 2 * kLatencyFrames;

    // ceiling: the largest magnitude let through, linear.
    explicit Limiter(double ceiling);

    // Forgets everything: the input before the next frame was silence.
    void Reset();
    // Takes the next frame in and gives the frame that came kLatencyFrames before it, limited.
    void Process(const double in[2], double out[2]);
    // The gain given with the last output frame, in dB (0 where the limiter let it through).
    double LastGainDb() const { return lastGainDb_; }

private:
    static constexpr int kRing = 256;  // more than the frames any step looks back or ahead
    static_assert(kRing > 2 * kLookAheadFrames + 2 * kInterpolationReach);

    double PeakAfter(std::int64_t frame) const;

    double ceiling_;
    std::array<std::array<double, 2>, kRing> input_{};
    std::array<double, kRing> needDb_{};    // the gain each frame's peak needs
    std::array<double, kRing> gainDb_{};    // held, recovering gain
    std::int64_t taken_ = 0;                // frames taken in since the reset
    double recovering_ = 0;
    double lastGainDb_ = 0;
};

}  // namespace audio
