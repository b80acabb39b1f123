// The frame clock. Capture and headless runs step it by a fixed amount: frame k has the time
// k * 1000 / fps in whole milliseconds, so every run of the same range gives the same frame times.
// Playback follows real elapsed time, minus the time spent paused.
#pragma once

#include <cstdint>

std::int32_t FixedStepTime(std::int64_t frameIndex, int fps);
// The first frame index whose time is at or after timeMs.
std::int64_t FirstFrameAtOrAfter(std::int32_t timeMs, int fps);

// A monotonic reading in seconds, for measuring how long something took.
double SteadySeconds();

class PlaybackClock {
public:
    // nowMs: a monotonic reading in milliseconds; startMs: the demo time at that reading.
    void Start(std::uint64_t nowMs, std::int32_t startMs);
    std::int32_t Time(std::uint64_t nowMs) const;
    void SetPaused(bool paused, std::uint64_t nowMs);
    bool Paused() const { return paused_; }
    // Moves the demo time by deltaMs (the seek keys), never before 0.
    void Skip(std::int32_t deltaMs, std::uint64_t nowMs);
    // Puts the demo time at timeMs (never before 0), paused or running as it was.
    void SeekTo(std::int32_t timeMs, std::uint64_t nowMs);

private:
    // The demo time was offsetMs_ at the reading originMs_; an offset rather than a back-dated
    // origin, because an unsigned reading cannot lie before the clock's own zero.
    std::uint64_t originMs_ = 0;
    std::int64_t offsetMs_ = 0;
    bool paused_ = false;
    std::int32_t pausedAt_ = 0;
};
