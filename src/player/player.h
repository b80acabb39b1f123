// The frame loop: starts, draws and stops effects as the timeline says, at a fixed step (headless,
// capture, benchmark) or following the wall clock (playback), and answers the player's keys.
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/clock.h"
#include "platform/file_watch.h"
#include "capture/frame_sink.h"
#include "host/host_state.h"
#include "player/overlay.h"
#include "app/options.h"
#include "sound/sound_output.h"
#include "host/timeline.h"

class Player {
public:
    Player(HostState& host, const Options& options, const SStartupDat& startup, const Timeline& timeline)
        : host_(host), options_(options), startup_(startup), timeline_(timeline)
    {
    }

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
    struct RunningEffect {
        RegisteredEffect* registered;
        int layer;
        std::uint64_t order;  // start order breaks ties between equal layers
    };

    int RunFixedStep(FrameSink* sink, std::int64_t firstFrame, std::int32_t lastTime);
    // Replays (player_seek.cpp): the piece from its beginning as in a fresh run, frames drawn
    // unseen to reach a moment, the seek keys' targets, and a timeline replaced while playing.
    void FreshStart();
    bool CatchUp(std::int64_t firstFrame, std::int64_t endFrame, int fps);
    int CatchUpRate(std::int32_t distanceMs) const;
    std::int64_t SeekFixedStep(std::int32_t target, std::int64_t currentFrame);
    void SeekRealTime(std::int32_t target);
    void RequestSeek(std::int32_t target, std::uint64_t nowMs);
    // Where a seek key counts from: the frame just drawn at a fixed step, else the clock.
    std::int32_t SeekBase(std::int32_t frameTime, std::uint64_t nowMs) const
    {
        return fixedStep_ ? frameTime : clock_.Time(nowMs);
    }
    void ReloadTimeline();
    std::vector<OverlayLine> OverlayLines(std::int32_t time) const;
    void RunRealTime(std::int32_t lastTime);
    // The window's sound: opened when the run has a soundtrack and is not muted.
    void StartSound();
    void StopSound();
    // After a new timeline: the score read again against it, and the window's sound with it.
    void FollowTimelineWithSound();
    void ApplyEvents(std::int32_t time);
    void StartEffect(const TimelineEvent& event);
    void StopEffect(const std::string& name);
    void RenderFrame(std::int32_t time, bool preroll);
    void EndRunningEffects();
    std::vector<std::string> RunningNames() const;
    // Drains the event queue; false when the user asked to quit.
    bool HandleEvents(std::int32_t time);
    void SaveScreenshot(std::int32_t time);
    RegisteredEffect* Find(const std::string& name);

    HostState& host_;
    const Options& options_;
    const SStartupDat& startup_;
    Timeline timeline_;  // replaced when its file changes while playing
    std::int32_t lastTime_ = 0;
    size_t nextEvent_ = 0;
    std::vector<RunningEffect> running_;
    std::uint64_t startCount_ = 0;
    PlaybackClock clock_;
    std::unique_ptr<SoundOutput> sound_;  // the window's sound, while it plays
    bool interrupted_ = false;

    std::int32_t shownTime_ = -1;      // the frame in the render target, -1 before the first
    std::int32_t renderedTime_ = -1;   // the effects' last frame, shown or not
    std::optional<std::int32_t> pendingSeek_;
    std::int64_t frameIndexOffset_ = 0;  // frames of earlier passes, so a capture's numbers go on
    std::unique_ptr<FileWatch> timelineWatch_;
    std::string timelineError_;
    bool overlayShown_ = false;
    bool fixedStep_ = false;
    double framesPerSecond_ = 0;
    double lastReplaySeconds_ = -1;
};
