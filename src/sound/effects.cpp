// The segmented reverb and echo: which instances run at a frame, when each starts afresh, and
// the crossfade from one to the next.
#include "sound/effects.h"

#include <stk/Delay.h>
#include <stk/NRev.h>

#include <algorithm>
#include <cmath>

#include "sound/soundtrack.h"

namespace audio {

static_assert(Effects::kWarmUpFrames + Effects::kFadeFrames <= Effects::kSegmentFrames,
              "no more than two instances may run at once");

struct Effects::Instance {
    explicit Instance(const Score& score) {
        reverb.setEffectMix(1.0);
        reverb.setT60(score.reverbSeconds);
        const auto delay = static_cast<unsigned long>(std::llround(score.echoBeats * kSampleRate * 60.0 / score.tempo));
        // The right side a little later than the left: the repeats spread across the field.
        echoLeft.setMaximumDelay(delay + 1);
        echoLeft.setDelay(delay);
        echoRight.setMaximumDelay(delay + 1 + delay / 8);
        echoRight.setDelay(delay + delay / 8);
        feedback = score.echoFeedback;
    }
    void Reset() {
        reverb.clear();
        echoLeft.clear();
        echoRight.clear();
        lastLeft = lastRight = 0;
    }
    void Process(const double reverbIn[2], const double echoIn[2], double out[2]) {
        reverb.tick(0.5 * (reverbIn[0] + reverbIn[1]));
        lastLeft = echoLeft.tick(echoIn[0] + feedback * lastRight);
        lastRight = echoRight.tick(echoIn[1] + feedback * lastLeft);
        out[0] = reverb.lastOut(0) * reverbReturn + lastLeft * echoReturn;
        out[1] = reverb.lastOut(1) * reverbReturn + lastRight * echoReturn;
    }

    stk::NRev reverb;
    stk::Delay echoLeft;
    stk::Delay echoRight;
    double feedback = 0;
    double lastLeft = 0;
    double lastRight = 0;
    double reverbReturn = 1;
    double echoReturn = 1;
    std::int64_t segment = -1;
};

Effects::Effects(const Score& score) : score_(score) {
    for (auto& instance : instances_) {
        instance = std::make_unique<Instance>(score);
        instance->reverbReturn = score.reverbReturn;
        instance->echoReturn = score.echoReturn;
    }
}

Effects::~Effects() = default;

namespace {
std::int64_t SegmentStart(std::int64_t segment) {
    return std::max<std::int64_t>(0, segment * Effects::kSegmentFrames - Effects::kWarmUpFrames);
}
std::int64_t SegmentEnd(std::int64_t segment) { return (segment + 1) * Effects::kSegmentFrames + Effects::kFadeFrames; }
}  // namespace

std::int64_t Effects::WarmStart(std::int64_t at) {
    const std::int64_t current = at / kSegmentFrames;
    // Inside the crossfade the previous segment's instance still sounds.
    if (current > 0 && at < SegmentEnd(current - 1)) return SegmentStart(current - 1);
    return SegmentStart(current);
}

void Effects::Process(std::int64_t at, const double reverbIn[2], const double echoIn[2], double out[2]) {
    const std::int64_t current = at / kSegmentFrames;
    double sounds[3][2] = {};
    for (std::int64_t segment = std::max<std::int64_t>(0, current - 1); segment <= current + 1; ++segment) {
        if (at < SegmentStart(segment) || at >= SegmentEnd(segment)) continue;
        Instance& instance = *instances_[segment & 1];
        if (at == SegmentStart(segment)) {
            instance.Reset();
            instance.segment = segment;
        }
        instance.Process(reverbIn, echoIn, sounds[segment - current + 1]);
    }
    const std::int64_t intoSegment = at - current * kSegmentFrames;
    if (current > 0 && intoSegment < kFadeFrames) {
        const double weight = static_cast<double>(intoSegment) / kFadeFrames;
        for (int channel = 0; channel < 2; ++channel) {
            out[channel] = sounds[0][channel] * (1 - weight) + sounds[1][channel] * weight;
        }
    } else {
        out[0] = sounds[1][0];
        out[1] = sounds[1][1];
    }
}

}  // namespace audio
