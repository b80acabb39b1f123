// Replays. Effects keep state from frame to frame, so the picture at a moment is the end of a run
// from the beginning: a seek back starts the show afresh and draws, unseen, the frames up to the
// target; a seek ahead draws the frames in between. In a window those frames are spaced so any
// seek stays short; before --start at a fixed step they are the run's own frames, so a capture
// gives the same pictures as a straight run.
#pragma once

#include <cstdint>
#include <functional>

#include "host/demogl.h"
#include "player/render_target.h"
#include "player/show.h"

class Replay {
public:
    // answerEvents is called now and then during a long replay, so the window stays responsive;
    // false when the user asked to quit.
    Replay(Show& show, RenderTarget& context, const SStartupDat& startup, std::function<bool()> answerEvents)
        : show_(show), context_(context), startup_(startup), answerEvents_(std::move(answerEvents))
    {
    }

    // Draws frames [firstFrame, endFrame) of a run at fps unseen, with the loading bar when it
    // takes long in a window. False when the user quit meanwhile.
    bool CatchUp(std::int64_t firstFrame, std::int64_t endFrame, int fps);
    // The rate of a window's replay over distanceMs: at most a thousand frames, at most 60 a second.
    static int CatchUpRate(std::int32_t distanceMs);

    // Brings the show to target at a window's replay rate. False when the user quit meanwhile.
    bool ReachRealTime(std::int32_t target);

private:
    // A target not ahead of the last frame drawn is reached from the beginning: the show starts
    // afresh, and this says so.
    bool StartAfreshUnlessAhead(std::int32_t target);

    Show& show_;
    RenderTarget& context_;
    const SStartupDat& startup_;
    std::function<bool()> answerEvents_;
};
