// A run from end to end: the frames before --start drawn unseen, so the effects reach the state of
// a straight run; then the fixed step's passes or the window's real time; then the capture's
// ending, which decides the exit status.
#include "player/player.h"

#include <algorithm>

#include "platform/interrupt.h"

Player::Player(HostState& host, GlContext& context, const PlaySettings& settings, const SStartupDat& startup,
               const Timeline& timeline, std::unique_ptr<audio::Soundtrack>& soundtrack)
    : host_(host),
      context_(context),
      settings_(settings),
      startup_(startup),
      soundtrack_(soundtrack),
      show_(host, context, timeline),
      replay_(show_, context, startup, [this] { return HandleEvents(show_.ShownTime()); })
{
}

int Player::Run(FrameSink* sink, std::int32_t lastTime)
{
    lastTime_ = lastTime;
    const bool fixedStep = fixedStep_ = context_.Headless() || sink || settings_.benchmark;
    // The frames before --start, drawn unseen: at the run's own step where frames must match a
    // straight run, at a coarser one in a window, whose clock is real time anyway.
    const std::int32_t preroll = std::min(settings_.startMs, lastTime + 1);
    const int rate = fixedStep ? settings_.fps : Replay::CatchUpRate(preroll);
    const std::int64_t firstShown = FirstFrameAtOrAfter(preroll, rate);
    if (!fixedStep) StartSound();
    startingUp_ = !fixedStep;
    replay_.CatchUp(0, firstShown, rate);

    int status = 0;
    for (int pass = 1; !interrupted_ && fixedStep; ++pass) {
        status = RunFixedStep(sink, firstShown, lastTime_);
        if (status != 0 || interrupted_ || pass >= settings_.passes) break;
        // The next pass plays the same span afresh; a capture's frame numbers go on from this one's.
        frameIndexOffset_ += FirstFrameAtOrAfter(lastTime_ + 1, settings_.fps) - firstShown;
        show_.FreshStart();
        replay_.CatchUp(0, firstShown, rate);
    }
    if (!interrupted_ && !fixedStep) RunRealTime();
    show_.EndRunningEffects();
    StopSound();

    // A capture is complete once its sink has finished; a signal after that changes nothing.
    bool complete = false;
    if (sink) {
        std::string error;
        complete = status == 0 && !interrupted_ && sink->Finish(error);
        if (!complete) sink->Abandon();
        if (!error.empty()) {
            HostError(error);
            status = 1;
        } else if (!complete && (interrupted_ || InterruptSignal())) {
            HostError("capture interrupted; " + sink->LeftBehind());
            status = 1;
        }
    }
    if (const int signal = InterruptSignal(); signal && !complete) status = 128 + signal;
    return status;
}
