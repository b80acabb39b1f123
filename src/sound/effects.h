// The shared reverb and echo, made seekable. A reverb remembers everything it heard, so no
// instance can start anywhere and sound the same as one that ran all along. Instead time is cut
// into segments: the instance for segment k starts from silence a warm-up before the segment,
// plays it, and hands over to the next instance in a short crossfade. The output at any frame
// then depends only on the input since a fixed point before it, and rendering that stretch is
// the whole cost of a jump. Two instances take turns; at most two run at once.
#pragma once

#include <cstdint>
#include <memory>

#include "sound/score.h"

namespace audio {

class Effects {
public:
    static constexpr std::int64_t kSegmentFrames = 288000;  // 6 s
    // An instance warms up until what it misses of the effects' tails is 40 dB down: 1 s for the
    // reverb, as long as the echo takes to fall that far when it rings longer. The crossfade then
    // blends two instances that differ by no more than that.
    static constexpr std::int64_t kReverbWarmUpFrames = 48000;
    static constexpr double kLongestEchoSeconds = 4.0;
    static constexpr std::int64_t kFadeFrames = 4800;       // 0.1 s

    // Seconds from a sound to the moment its echoes are 40 dB below it.
    static double EchoSeconds(double beats, double feedback, double tempo);

    explicit Effects(const Score& score);
    ~Effects();

    std::int64_t WarmUpFrames() const { return warmUpFrames_; }
    // The first frame from which input must be fed, without a gap, for Process(at, ...) to give
    // the same output as a run from the start.
    std::int64_t WarmStart(std::int64_t at) const;

    // Takes the sends for frame at (which follows the previous call's frame) and gives the
    // effects' output for that frame.
    void Process(std::int64_t at, const double reverbIn[2], const double echoIn[2], double out[2]);

private:
    struct Instance;
    std::int64_t SegmentStart(std::int64_t segment) const;
    const Score& score_;
    std::int64_t warmUpFrames_;
    std::unique_ptr<Instance> instances_[2];
};

}  // namespace audio
