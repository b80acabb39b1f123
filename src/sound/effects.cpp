// The segmented reverb and echo: which instances run at a frame, when each starts afresh, and
// the crossfade from one to the next.
#include "sound/effects.h"

#include <stk/Delay.h>
#include <stk/NRev.h>

#include <algorithm>
#include <cmath>

#include "sound/soundtrack.h"

namespace audio {

static_assert(Effects::kLongestEchoSeconds * kSampleRate + Effects::kFadeFrames < Effects::kSegmentFrames,
              "no more than two instances may run at once");

namespace {
// The right side's delay is this much longer than the left's: the repeats spread across the field.
constexpr double kRightDelay = 9.0 / 8.0;
// What an instance may miss of a tail: 40 dB down.
constexpr double kNegligible = 0.01;
}  // namespace

double Effects::EchoSeconds(double beats, double feedback, double tempo) {
    // Each pass through a side scales the sound by the feedback and takes at most the right
    // side's delay; the first pass is the echo itself.
    const double passes = feedback > 0 ? std::ceil(std::log(kNegligible) / std::log(feedback)) : 0;
    return (passes + 1) * kRightDelay * beats * 60.0 / tempo;
}

struct Effects::Instance {
    explicit Instance(const Score& score) {
        reverb.setEffectMix(1.0);
        reverb.setT60(score.reverbSeconds);
        const auto delay = static_cast<unsigned long>(std::llround(score.echoBeats * kSampleRate * 60.0 / score.tempo));
        const auto rightDelay = static_cast<unsigned long>(delay * kRightDelay);
        echoLeft.setMaximumDelay(delay + 1);
        echoLeft.setDelay(delay);
        echoRight.setMaximumDelay(rightDelay + 1);
        echoRight.setDelay(rightDelay);
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

Effects::Effects(const Score& score)
    : score_(score),
      warmUpFrames_(std::max(kReverbWarmUpFrames,
                             static_cast<std::int64_t>(std::ceil(EchoSeconds(score.echoBeats, score.echoFeedback, score.tempo) *
                                                                 kSampleRate)))) {
    for (auto& instance : instances_) {
        instance = std::make_unique<Instance>(score);
        instance->reverbReturn = score.reverbReturn;
        instance->echoReturn = score.echoReturn;
    }
}

Effects::~Effects() = default;

std::int64_t Effects::SegmentStart(std::int64_t segment) const {
    return std::max<std::int64_t>(0, segment * kSegmentFrames - warmUpFrames_);
}

namespace {
std::int64_t SegmentEnd(std::int64_t segment) { return (segment + 1) * Effects::kSegmentFrames + Effects::kFadeFrames; }
}  // namespace

std::int64_t Effects::WarmStart(std::int64_t at) const {
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
