// The frame loop: starts, draws and stops effects as the timeline says, at a fixed step (headless,
// capture, benchmark) or following the wall clock (playback), and answers the player's keys.
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/clock.h"
#include "host/gl/frame_sink.h"
#include "host/gl/host_state.h"
#include "host/options.h"
#include "host/sound_output.h"
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

private:
    struct RunningEffect {
        RegisteredEffect* registered;
        int layer;
        std::uint64_t order;  // start order breaks ties between equal layers
    };

    int RunFixedStep(FrameSink* sink, std::int64_t firstFrame, std::int32_t lastTime);
    void RunRealTime(std::int32_t lastTime);
    // The window's sound: opened when the run has a soundtrack and is not muted.
    void StartSound();
    void StopSound();
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
    const Timeline& timeline_;
    size_t nextEvent_ = 0;
    std::vector<RunningEffect> running_;
    std::uint64_t startCount_ = 0;
    PlaybackClock clock_;
    std::unique_ptr<SoundOutput> sound_;  // the window's sound, while it plays
    bool interrupted_ = false;
};
