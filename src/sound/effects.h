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
    static constexpr std::int64_t kSegmentFrames = 144000;  // 3 s
    // 1 s: what an instance misses of the reverb's tail is 40 dB down or more, and the crossfade
    // blends two instances that differ by no more than that.
    static constexpr std::int64_t kWarmUpFrames = 48000;
    static constexpr std::int64_t kFadeFrames = 4800;       // 0.1 s

    explicit Effects(const Score& score);
    ~Effects();

    // The first frame from which input must be fed, without a gap, for Process(at, ...) to give
    // the same output as a run from the start.
    static std::int64_t WarmStart(std::int64_t at);

    // Takes the sends for frame at (which follows the previous call's frame) and gives the
    // effects' output for that frame.
    void Process(std::int64_t at, const double reverbIn[2], const double echoIn[2], double out[2]);

private:
    struct Instance;
    const Score& score_;
    std::unique_ptr<Instance> instances_[2];
};

}  // namespace audio
