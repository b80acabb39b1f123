// The show: the effects the timeline has running, in layer order, started, stopped and given
// their parameters as its events come due, and drawn frame by frame. It knows the timeline and
// the effects; the clock, the keys, the sound and the outputs are the player's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/host_state.h"
#include "host/timeline.h"
#include "player/render_target.h"

class Show {
public:
    struct RunningEffect {
        RegisteredEffect* registered;
        int layer;
        std::uint64_t order;  // start order breaks ties between equal layers
    };

    Show(HostState& host, RenderTarget& context, Timeline timeline)
        : host_(host), context_(context), timeline_(std::move(timeline))
    {
    }

    // Starts, stops and signals effects for every event due at or before time.
    void ApplyEvents(std::int32_t time);
    // Draws the running effects at time: into the render target, or unseen (the catch-up to a
    // start time or a seek, which only advances the effects' state).
    void RenderFrame(std::int32_t time, bool unseen);
    void EndRunningEffects();
    // As when the run began: every effect initialised, the timeline from its first line, the
    // random generator on its seed.
    void FreshStart();

    const std::vector<RunningEffect>& Running() const { return running_; }
    std::vector<std::string> RunningNames() const;
    const Timeline& CurrentTimeline() const { return timeline_; }
    // A timeline read again while playing: in force from the next fresh start.
    void ReplaceTimeline(Timeline timeline) { timeline_ = std::move(timeline); }

    // The frame in the render target, -1 before the first.
    std::int32_t ShownTime() const { return shownTime_; }
    // The effects' last frame, shown or not, -1 after a fresh start.
    std::int32_t RenderedTime() const { return renderedTime_; }
    // Makes any seek at or before time replay from the beginning.
    void ReplayFromStartUpTo(std::int32_t time) { renderedTime_ = std::max(renderedTime_, time); }

private:
    void StartEffect(const TimelineEvent& event);
    void StopEffect(const std::string& name);
    RegisteredEffect* Find(const std::string& name);

    HostState& host_;
    RenderTarget& context_;
    Timeline timeline_;
    size_t nextEvent_ = 0;
    std::vector<RunningEffect> running_;
    std::uint64_t startCount_ = 0;
    std::int32_t shownTime_ = -1;
    std::int32_t renderedTime_ = -1;
};
