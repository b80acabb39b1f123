// The frame loop. Frames before --start are drawn at the fixed step in every mode, so the effects
// reach the same state as in a straight run; then either a fixed step (each frame read back for
// the capture, timed for the benchmark) or the wall clock with the player's keys.
#include "host/gl/player.h"

#include "host/gl/gl_functions.h"
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>

#include "host/frame_stats.h"
#include "host/gl/readback.h"
#include "host/interrupt.h"
#include "host/progress.h"

namespace {

constexpr std::int32_t kSkipMs = 10000;
// Enough reads in flight that mapping the oldest finds it finished, with the renderer two frames on.
constexpr int kReadbackBuffers = 3;
constexpr int kFramesInFlight = 8;

double Seconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

RegisteredEffect* Player::Find(const std::string& name)
{
    for (RegisteredEffect& registered : host_.effects)
        if (registered.name == name) return &registered;
    return nullptr;
}

void Player::StartEffect(const TimelineEvent& event)
{
    RegisteredEffect* registered = Find(event.effect);
    if (!registered) return;
    registered->effect->Prepare();
    running_.push_back(RunningEffect{registered, event.layer, startCount_++});
    std::stable_sort(running_.begin(), running_.end(), [](const RunningEffect& a, const RunningEffect& b) {
        return a.layer != b.layer ? a.layer < b.layer : a.order < b.order;
    });
}

void Player::StopEffect(const std::string& name)
{
    auto found = std::find_if(running_.begin(), running_.end(),
                              [&](const RunningEffect& running) { return running.registered->name == name; });
    if (found == running_.end()) return;
    CEffect* effect = found->registered->effect;
    running_.erase(found);
    effect->End();
}

void Player::ApplyEvents(std::int32_t time)
{
    while (nextEvent_ < timeline_.events.size() && timeline_.events[nextEvent_].time <= time) {
        const TimelineEvent& event = timeline_.events[nextEvent_++];
        if (host_.showDebugInfo)
            std::fprintf(stderr, "tarnelvois: %d ms: line %d\n", int(event.time), event.line);
        switch (event.kind) {
        case TimelineEvent::Kind::Start: StartEffect(event); break;
        case TimelineEvent::Kind::Stop: StopEffect(event.effect); break;
        case TimelineEvent::Kind::Param:
            if (RegisteredEffect* registered = Find(event.effect)) {
                std::vector<char> text(event.text.begin(), event.text.end());
                text.push_back('\0');
                registered->effect->ReceiveParam(text.data());
            }
            break;
        case TimelineEvent::Kind::End: break;
        }
    }
}

void Player::EndRunningEffects()
{
    while (!running_.empty()) StopEffect(running_.back().registered->name);
}

std::vector<std::string> Player::RunningNames() const
{
    std::vector<std::string> names;
    for (const RunningEffect& running : running_) names.push_back(running.registered->name);
    return names;
}

void Player::RenderFrame(std::int32_t time, bool preroll)
{
    GlContext& context = *host_.context;
    const int width = context.RenderWidth(), height = context.RenderHeight();
    context.BindRenderTarget();
    // Frames before --start only advance the effects' state; a one-pixel viewport keeps them cheap.
    glViewport(0, 0, preroll ? 1 : width, preroll ? 1 : height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double nearPlane = 0.1, farPlane = 100.0;
    const double top = nearPlane * std::tan(45.0 * M_PI / 360.0);
    const double right = top * double(width) / double(height);
    glFrustum(-right, right, -top, top, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (const RunningEffect& running : running_) running.registered->effect->RenderFrame(time);
}

void Player::SaveScreenshot(std::int32_t time)
{
    GlContext& context = *host_.context;
    // The frame on screen is still in the render target: one read through the capture's path.
    context.BindRenderTarget();
    AsyncReadback once(context.RenderWidth(), context.RenderHeight(), 1);
    ReadFrame shot;
    once.Start(0, shot);
    once.FinishOldest(shot);
    char name[64];
    std::snprintf(name, sizeof name, "tarnelvois-%09dms.png", int(time));
    std::string error;
    if (WritePng(name, shot.rgb, context.RenderWidth(), context.RenderHeight(), error))
        std::fprintf(stderr, "tarnelvois: saved %s\n", name);
    else
        HostError(error);
}

bool Player::HandleEvent(const SDL_Event& event, std::int32_t frameTime, std::uint64_t nowMs)
{
    if (event.type == SDL_QUIT) {
        interrupted_ = true;
        return false;
    }
    if (event.type != SDL_KEYDOWN || event.key.repeat || !startup_.enableKeys) return true;
    const SDL_Keycode key = event.key.keysym.sym;
    const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
    if ((key == SDLK_ESCAPE || key == SDLK_q) && startup_.quitOnEscape) {
        interrupted_ = true;
        return false;
    } else if (key == SDLK_SPACE && startup_.pauseOnSpace) {
        clock_.SetPaused(!clock_.Paused(), nowMs);
    } else if (key == SDLK_f || (key == SDLK_RETURN && alt)) {
        host_.context->SetFullscreen(!host_.context->Fullscreen());
    } else if (key == SDLK_F12) {
        SaveScreenshot(frameTime);
    } else if (key == SDLK_RIGHT) {
        clock_.Skip(kSkipMs, nowMs);
    }
    return true;
}

bool Player::HandleEvents(std::int32_t time)
{
    SDL_Event event;
    while (SDL_PollEvent(&event))
        if (!HandleEvent(event, time, SDL_GetTicks64())) return false;
    if (InterruptSignal()) {
        interrupted_ = true;
        return false;
    }
    return true;
}

int Player::RunFixedStep(FrameSink* sink, std::int64_t firstFrame, std::int32_t lastTime)
{
    GlContext& context = *host_.context;
    const int fps = options_.fps;
    const std::int64_t total = FirstFrameAtOrAfter(lastTime + 1, fps) - firstFrame;
    const bool showProgress = !options_.quiet && (sink || options_.benchmark);
    const double started = Seconds();
    ProgressLine progress(showProgress ? stderr : nullptr, isatty(STDERR_FILENO), total, started);
    std::optional<AsyncReadback> readback;
    if (sink) readback.emplace(context.RenderWidth(), context.RenderHeight(), kReadbackBuffers);
    FrameStats stats;
    ReadFrame ready;
    std::string error;

    // The frame a sink refused ends the run; its message waits until the progress line has ended.
    bool delivered = true;
    auto deliver = [&]() {
        delivered = sink->Write(ready.index, ready.rgb, context.RenderWidth(), context.RenderHeight(), error);
    };

    std::int64_t frame = firstFrame;
    for (; !interrupted_ && delivered; ++frame) {
        const std::int32_t time = FixedStepTime(frame, fps);
        if (time > lastTime) break;
        const double frameStarted = Seconds();
        ApplyEvents(time);
        RenderFrame(time, false);
        if (readback) {
            context.BindRenderTarget();
            if (readback->Start(frame, ready)) deliver();
        } else {
            // The software renderer works behind the caller's back: a benchmarked frame is done when it
            // is drawn, and a run that shows nothing must still not let frames pile up.
            glFinish();
        }
        context.Present();
        HandleEvents(time);
        const double now = Seconds();
        if (options_.benchmark) stats.Add(time, now - frameStarted, RunningNames());
        progress.Update(frame - firstFrame + 1, now);
    }
    while (!interrupted_ && delivered && readback && readback->FinishOldest(ready)) deliver();
    const double finished = Seconds();
    progress.Finish(frame - firstFrame, finished);
    if (!delivered) {
        HostError(error);
        return 1;
    }
    // Quitting is not a failure of the run; Run decides what it means for a capture.
    if (options_.benchmark && !interrupted_)
        std::fputs(FormatBenchmark(stats.Summarise(finished - started)).c_str(), stdout);
    return 0;
}

void Player::RunRealTime(std::int32_t lastTime)
{
    GlContext& context = *host_.context;
    clock_.Start(SDL_GetTicks64(), options_.startMs);
    if (host_.startPaused) clock_.SetPaused(true, SDL_GetTicks64());
    std::int32_t time = options_.startMs;
    bool drawn = false;
    while (HandleEvents(time)) {
        const std::int32_t now = clock_.Time(SDL_GetTicks64());
        if (now > lastTime && host_.exitOnEnd) break;
        if ((clock_.Paused() || now > lastTime) && drawn) {
            // The last frame stays on screen; the window still answers being moved and resized.
            context.Present();
            SDL_Delay(10);
            continue;
        }
        time = now;
        ApplyEvents(time);
        RenderFrame(time, false);
        context.Present();
        drawn = true;
    }
}

int Player::Run(FrameSink* sink, std::int32_t lastTime)
{
    const int fps = options_.fps;
    std::int64_t frame = 0;
    for (;; ++frame) {
        const std::int32_t time = FixedStepTime(frame, fps);
        if (time >= options_.startMs || time > lastTime) break;
        ApplyEvents(time);
        RenderFrame(time, true);
        // Unfinished frames hold their memory in the software renderer: hundreds of megabytes over a
        // long pre-roll if nothing waits for them now and then.
        if ((frame % kFramesInFlight) == 0) glFinish();
        if ((frame & 63) == 0 && !HandleEvents(time)) break;
    }

    int status = 0;
    const bool fixedStep = host_.context->Headless() || sink || options_.benchmark;
    if (!interrupted_ && fixedStep) status = RunFixedStep(sink, frame, lastTime);
    else if (!interrupted_) RunRealTime(lastTime);
    EndRunningEffects();

    if (sink) {
        std::string error;
        if (status != 0 || interrupted_) {
            sink->Abandon();
        } else if (!sink->Finish(error)) {
            HostError(error);
            status = 1;
        }
    }
    if (interrupted_ && sink) {
        HostError("capture interrupted; nothing written under the final name");
        status = 1;
    }
    if (const int signal = InterruptSignal()) status = 128 + signal;
    return status;
}
