// Frame times: a fixed step for headless and captured runs, the wall clock for playback.
#include "host/clock.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace {

constexpr std::int64_t kLatestTime = std::numeric_limits<std::int32_t>::max();

// A frame time that would not fit the 32-bit clock stays at its end rather than wrapping negative.
std::int32_t ToFrameTime(std::int64_t ms) { return static_cast<std::int32_t>(std::clamp<std::int64_t>(ms, 0, kLatestTime)); }

}  // namespace

std::int32_t FixedStepTime(std::int64_t frameIndex, int fps) {
    return ToFrameTime(frameIndex * 1000 / std::max(fps, 1));
}

std::int64_t FirstFrameAtOrAfter(std::int32_t timeMs, int fps) {
    if (timeMs <= 0) return 0;
    // k * 1000 / fps >= t (rounded down) holds exactly when k * 1000 >= t * fps.
    const std::int64_t scaled = static_cast<std::int64_t>(timeMs) * std::max(fps, 1);
    return (scaled + 999) / 1000;
}

void PlaybackClock::Start(std::uint64_t nowMs, std::int32_t startMs) {
    originMs_ = nowMs;
    offsetMs_ = std::max<std::int32_t>(startMs, 0);
    paused_ = false;
    pausedAt_ = 0;
}

std::int32_t PlaybackClock::Time(std::uint64_t nowMs) const {
    if (paused_) return pausedAt_;
    // A reading before the origin (a clock that stepped back) counts as no time passed.
    const std::uint64_t elapsed = nowMs > originMs_ ? nowMs - originMs_ : 0;
    return ToFrameTime(offsetMs_ + static_cast<std::int64_t>(std::min<std::uint64_t>(elapsed, kLatestTime)));
}

void PlaybackClock::SetPaused(bool paused, std::uint64_t nowMs) {
    if (paused == paused_) return;
    if (paused) {
        pausedAt_ = Time(nowMs);
    } else {
        originMs_ = nowMs;
        offsetMs_ = pausedAt_;
    }
    paused_ = paused;
}

void PlaybackClock::Skip(std::int32_t deltaMs, std::uint64_t nowMs) {
    SeekTo(ToFrameTime(static_cast<std::int64_t>(Time(nowMs)) + deltaMs), nowMs);
}

void PlaybackClock::SeekTo(std::int32_t timeMs, std::uint64_t nowMs) {
    const std::int32_t moved = std::max<std::int32_t>(timeMs, 0);
    if (paused_) {
        pausedAt_ = moved;
    } else {
        originMs_ = nowMs;
        offsetMs_ = moved;
    }
}

double SteadySeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
