// The player: the show run frame by frame, at a fixed step (headless, capture, benchmark) or
// following the wall clock (a window), with the player's keys, the window's sound and a timeline
// file watched for changes.
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "capture/frame_sink.h"
#include "host/clock.h"
#include "host/host_state.h"
#include "platform/file_watch.h"
#include "player/context.h"
#include "player/overlay.h"
#include "player/play_settings.h"
#include "player/replay.h"
#include "player/show.h"
#include "sound/sound_output.h"
#include "sound/soundtrack.h"

class Player {
public:
    // soundtrack: null for a silent run; a timeline read again while playing replaces it.
    Player(HostState& host, GlContext& context, const PlaySettings& settings, const SStartupDat& startup,
           const Timeline& timeline, std::unique_ptr<audio::Soundtrack>& soundtrack);

    // Plays frames up to lastTime and returns the exit status. A sink takes every frame.
    int Run(FrameSink* sink, std::int32_t lastTime);

    // Answers one input event; frameTime is the time of the frame on screen, nowMs the wall clock.
    // False when the run should end.
    bool HandleEvent(const SDL_Event& event, std::int32_t frameTime, std::uint64_t nowMs);
    PlaybackClock& Clock() { return clock_; }
    bool OverlayShown() const { return overlayShown_; }
    // The last refusal of a changed timeline file; empty once a good one is read.
    const std::string& TimelineError() const { return timelineError_; }

private:
    // The loops (fixed_step.cpp, real_time.cpp).
    int RunFixedStep(FrameSink* sink, std::int64_t firstFrame, std::int32_t lastTime);
    void RunRealTime();
    // The span once more from its start, as a fresh run would show it (a --loop or --passes pass).
    void StartNextPass();
    // Seeks in a window; a target past the end stops at the last frame, paused (or, looping,
    // starts the next pass).
    void SeekRealTime(std::int32_t target);
    void ReloadTimeline();
    std::vector<OverlayLine> OverlayLines(std::int32_t time) const;
    // The keys (keys.cpp). HandleEvents drains the event queue; false when the user asked to quit.
    bool HandleEvents(std::int32_t time);
    void RequestSeek(std::int32_t target, std::uint64_t nowMs);
    // Pause and the seek keys: off while capturing, whose frames are the span asked for; held
    // back while the window catches up to --start, and answered once the clock runs from there.
    bool HoldsBackTimeKey(const SDL_Event& event);
    // Where a seek key counts from: the frame just drawn at a fixed step, else the clock.
    std::int32_t SeekBase(std::int32_t frameTime, std::uint64_t nowMs) const
    {
        return fixedStep_ ? frameTime : clock_.Time(nowMs);
    }
    void SaveScreenshot(std::int32_t time);
    // The window's sound (player_sound.cpp): opened when the run has a soundtrack and is not muted.
    void StartSound();
    void StopSound();
    // After a new timeline: the score read again against it, and the window's sound with it.
    void FollowTimelineWithSound();

    HostState& host_;
    GlContext& context_;
    const PlaySettings& settings_;
    const SStartupDat& startup_;
    std::unique_ptr<audio::Soundtrack>& soundtrack_;
    Show show_;
    Replay replay_;
    std::int32_t lastTime_ = 0;
    PlaybackClock clock_;
    std::unique_ptr<SoundOutput> sound_;  // the window's sound, while it plays
    std::optional<std::int32_t> soundCued_;  // where a seek's key sent the sound ahead of the picture
    bool interrupted_ = false;

    std::optional<std::int32_t> pendingSeek_;
    bool startingUp_ = false;           // the first catch-up to --start in a window
    std::vector<SDL_Event> heldBack_;   // its pause and seek keys, for when the clock runs
    bool timeKeysRefusedSaid_ = false;
    std::int64_t frameIndexOffset_ = 0;  // frames of earlier passes, so a capture's numbers go on
    std::unique_ptr<FileWatch> timelineWatch_;
    std::string timelineError_;
    bool overlayShown_ = false;
    bool fixedStep_ = false;
    double framesPerSecond_ = 0;
    double lastReplaySeconds_ = -1;
};
