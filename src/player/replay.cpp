// The replays' frames: drawn unseen, spaced for a window, with the loading bar when one is long.
#include "player/replay.h"

#include <algorithm>

#include "host/clock.h"
#include "host/gl_functions.h"

namespace {

// A window's replay draws at most this many frames, whatever the distance: about a second here.
constexpr std::int64_t kWindowCatchUpFrames = 1000;
constexpr int kWindowCatchUpMaxRate = 60;
// A replay shorter than this shows nothing; a longer one shows the loading bar.
constexpr double kQuietReplaySeconds = 0.3;
constexpr double kBarEverySeconds = 0.05;
// Unfinished frames hold their memory in the software renderer: hundreds of megabytes over a
// long replay if nothing waits for them now and then.
constexpr std::int64_t kFramesInFlight = 8;
constexpr std::int64_t kEventsEvery = 64;

}  // namespace

int Replay::CatchUpRate(std::int32_t distanceMs)
{
    if (distanceMs <= 0) return kWindowCatchUpMaxRate;
    const std::int64_t rate = kWindowCatchUpFrames * 1000 / distanceMs;
    return int(std::clamp<std::int64_t>(rate, 1, kWindowCatchUpMaxRate));
}

bool Replay::CatchUp(std::int64_t firstFrame, std::int64_t endFrame, int fps)
{
    const double started = SteadySeconds();
    double barShownAt = 0;
    const bool showBar = startup_.showLoadingBar && !context_.Headless();
    for (std::int64_t frame = firstFrame; frame < endFrame; ++frame) {
        const std::int32_t time = FixedStepTime(frame, fps);
        show_.ApplyEvents(time);
        show_.RenderFrame(time, true);
        if ((frame % kFramesInFlight) == 0) glFinish();
        if (((frame - firstFrame) % kEventsEvery) != kEventsEvery - 1) continue;
        // F12 meanwhile saves the frame still in the render target, under its own time.
        if (!answerEvents_()) return false;
        const double now = SteadySeconds();
        if (showBar && now - started > kQuietReplaySeconds && now - barShownAt > kBarEverySeconds) {
            context_.ShowProgress(float(frame - firstFrame) / float(endFrame - firstFrame), startup_.loadingBarPercent);
            barShownAt = now;
        }
    }
    return true;
}

bool Replay::StartAfreshUnlessAhead(std::int32_t target)
{
    if (target > show_.RenderedTime()) return false;
    show_.FreshStart();
    return true;
}

bool Replay::ReachRealTime(std::int32_t target)
{
    const std::int32_t from = StartAfreshUnlessAhead(target) ? 0 : show_.RenderedTime() + 1;
    const int rate = CatchUpRate(target - from);
    return CatchUp(FirstFrameAtOrAfter(from, rate), FirstFrameAtOrAfter(target, rate), rate);
}
