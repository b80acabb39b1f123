// The fixed step: frame k at k*1000/fps ms, each read back for the capture or timed for the
// benchmark, whatever the machine's speed.
#include <algorithm>
#include <cstdio>
#include <optional>

#include "capture/frame_cost.h"
#include "capture/frame_stats.h"
#include "capture/progress.h"
#include "capture/readback.h"
#include "host/gl_functions.h"
#include "platform/process.h"
#include "player/player.h"

namespace {

// Enough reads in flight that mapping the oldest finds it finished, with the renderer two frames on.
constexpr int kReadbackBuffers = 3;

}  // namespace

int Player::RunFixedStep(FrameSink* sink, std::int64_t firstFrame, std::int32_t lastTime)
{
    const int fps = settings_.fps;
    const std::int64_t total = FirstFrameAtOrAfter(lastTime + 1, fps) - firstFrame;
    const bool showProgress = !settings_.quiet && (sink || settings_.benchmark);
    const double started = SteadySeconds();
    ProgressLine progress(showProgress ? stderr : nullptr, StandardErrorIsTerminal(), total, started);
    if (showProgress) progress.SetFrameCosts(FrameCosts(show_.CurrentTimeline(), firstFrame, total, fps));
    // The sink takes the picture at the size it has in the frame; the bars are the sink's business.
    const FrameLayout layout =
        FitPicture(context_.RenderWidth(), context_.RenderHeight(), settings_.frameWidth, settings_.frameHeight);
    std::optional<AsyncReadback> readback;
    if (sink)
        readback.emplace(context_.RenderWidth(), context_.RenderHeight(), kReadbackBuffers, layout.pictureWidth,
                         layout.pictureHeight, sink->TakesBgr());
    FrameStats stats;
    ReadFrame ready;
    std::string error;

    // The frame a sink refused ends the run; its message waits until the progress line has ended.
    bool delivered = true;
    auto deliver = [&]() {
        delivered = sink->WriteTaking(ready.index, ready.rgb, layout.pictureWidth, layout.pictureHeight, error);
    };

    std::int64_t frame = firstFrame;
    for (; !interrupted_ && delivered; ++frame) {
        const std::int32_t time = FixedStepTime(frame, fps);
        if (time > lastTime) break;
        const double frameStarted = SteadySeconds();
        show_.ApplyEvents(time);
        show_.RenderFrame(time, false);
        if (readback) {
            context_.BindRenderTarget();
            if (readback->Start(frame + frameIndexOffset_, ready)) deliver();
        } else {
            // The software renderer works behind the caller's back: a benchmarked frame is done when it
            // is drawn, and a run that shows nothing must still not let frames pile up.
            glFinish();
        }
        context_.Present();
        // A window shown while capturing still answers Esc and its close button; the keys that
        // move time are off (keys.cpp), so the frames are the span asked for.
        HandleEvents(time);
        const double now = SteadySeconds();
        if (settings_.benchmark) stats.Add(time, now - frameStarted, show_.RunningNames());
        progress.Update(frame - firstFrame + 1, now);
    }
    while (!interrupted_ && delivered && readback && readback->FinishOldest(ready)) deliver();
    const double finished = SteadySeconds();
    progress.Finish(frame - firstFrame, finished);
    if (!delivered) {
        HostError(error);
        return 1;
    }
    // Quitting is not a failure of the run; Run decides what it means for a capture.
    if (settings_.benchmark && !interrupted_)
        std::fputs(FormatBenchmark(stats.Summarise(finished - started), context_.RenderWidth(),
                                   context_.RenderHeight(), settings_.fps).c_str(), stdout);
    return 0;
}
