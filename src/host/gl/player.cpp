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
#include <cstdlib>
#include <optional>

#include "host/frame_cost.h"
#include "host/frame_stats.h"
#include "host/gl/key_bindings.h"
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
    if (registered->needsInit || event.fresh) {
        registered->effect->Init(host_.context->RenderWidth(), host_.context->RenderHeight());
        registered->needsInit = false;
    }
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
    RegisteredEffect* registered = found->registered;
    running_.erase(found);
    // An End that deletes textures leaves the effect unable to Prepare them again: the host sees
    // the deletes and initialises the effect again before its next start.
    const size_t deletions = host_.textures ? host_.textures->Deletions() : 0;
    registered->effect->End();
    if (host_.textures && host_.textures->Deletions() != deletions) registered->needsInit = true;
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
    // Frames drawn unseen (before --start, during a seek) only advance the effects' state: a
    // one-pixel target and viewport make their clears and draws cost the same at any size.
    if (preroll) context.BindCatchUpTarget();
    else context.BindRenderTarget();
    glViewport(0, 0, preroll ? 1 : width, preroll ? 1 : height);
    renderedTime_ = time;
    if (!preroll) shownTime_ = time;
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
    if (time < 0) {
        HostError("F12: no frame shown yet, nothing saved");
        return;
    }
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

std::vector<OverlayLine> Player::OverlayLines(std::int32_t time) const
{
    char heading[96];
    std::snprintf(heading, sizeof heading, "%d:%06.3f%s   %.0f fps", int(time / 60000), (time % 60000) / 1000.0,
                  clock_.Paused() ? " paused" : "", framesPerSecond_);
    std::vector<OverlayLine> lines{{heading}};
    lines.push_back({"timeline: " + (options_.timelinePath.empty() ? std::string("the archive's") : options_.timelinePath)});
    if (!timelineError_.empty()) lines.push_back({timelineError_, true});
    if (lastReplaySeconds_ >= 0) {
        std::snprintf(heading, sizeof heading, "last seek replayed in %.2f s", lastReplaySeconds_);
        lines.push_back({heading});
    }
    for (const RunningEffect& running : running_)
        lines.push_back({"  " + running.registered->name + "  layer " + std::to_string(running.layer)});
    return lines;
}

bool Player::HandleEvent(const SDL_Event& event, std::int32_t frameTime, std::uint64_t nowMs)
{
    if (event.type == SDL_QUIT) {
        interrupted_ = true;
        return false;
    }
    switch (ActionForEvent(event, startup_)) {
    case PlayerAction::Quit: interrupted_ = true; return false;
    case PlayerAction::Pause:
        clock_.SetPaused(!clock_.Paused(), nowMs);
        if (sound_) sound_->SetPaused(clock_.Paused());
        break;
    case PlayerAction::Fullscreen: host_.context->SetFullscreen(!host_.context->Fullscreen()); break;
    case PlayerAction::Screenshot: SaveScreenshot(frameTime); break;
    case PlayerAction::SeekBack: RequestSeek(SeekBase(frameTime, nowMs) - kSkipMs, nowMs); break;
    case PlayerAction::SeekForward: RequestSeek(SeekBase(frameTime, nowMs) + kSkipMs, nowMs); break;
    case PlayerAction::SeekStart: RequestSeek(0, nowMs); break;
    case PlayerAction::ToggleOverlay: overlayShown_ = !overlayShown_; break;
    case PlayerAction::None: break;
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
    if (showProgress) progress.SetFrameCosts(FrameCosts(timeline_, firstFrame, total, fps));
    // The sink takes the picture at the size it has in the frame; the bars are the sink's business.
    const FrameLayout layout =
        FitPicture(context.RenderWidth(), context.RenderHeight(), options_.frameWidth, options_.frameHeight);
    std::optional<AsyncReadback> readback;
    if (sink)
        readback.emplace(context.RenderWidth(), context.RenderHeight(), kReadbackBuffers, layout.pictureWidth,
                         layout.pictureHeight, sink->TakesBgr());
    FrameStats stats;
    ReadFrame ready;
    std::string error;

    // The frame a sink refused ends the run; its message waits until the progress line has ended.
    bool delivered = true;
    auto deliver = [&]() {
        delivered = sink->Write(ready.index, ready.rgb, layout.pictureWidth, layout.pictureHeight, error);
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
            if (readback->Start(frame + frameIndexOffset_, ready)) deliver();
        } else {
            // The software renderer works behind the caller's back: a benchmarked frame is done when it
            // is drawn, and a run that shows nothing must still not let frames pile up.
            glFinish();
        }
        context.Present();
        HandleEvents(time);
        if (pendingSeek_) frame = SeekFixedStep(*pendingSeek_, frame) - 1;
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
        std::fputs(FormatBenchmark(stats.Summarise(finished - started), host_.context->RenderWidth(),
                                   host_.context->RenderHeight(), options_.fps).c_str(), stdout);
    return 0;
}

void Player::RunRealTime(std::int32_t)
{
    GlContext& context = *host_.context;
    clock_.Start(SDL_GetTicks64(), options_.startMs);
    if (host_.startPaused) clock_.SetPaused(true, SDL_GetTicks64());
    if (sound_) sound_->SetPaused(clock_.Paused());
    if (!options_.timelinePath.empty())
        timelineWatch_ = std::make_unique<FileWatch>(options_.timelinePath, SDL_GetTicks64());
    std::int32_t time = options_.startMs;
    bool drawn = false;
    int passesLeft = options_.passes - 1;
    double lastFrameAt = Seconds();
    auto present = [&]() {
        if (!overlayShown_) return context.Present();
        const std::vector<OverlayLine> lines = OverlayLines(time);
        context.Present([&](int width, int height) { DrawOverlay(lines, width, height); });
    };
    while (HandleEvents(shownTime_)) {
        if (timelineWatch_ && timelineWatch_->Changed(SDL_GetTicks64())) ReloadTimeline();
        if (pendingSeek_) {
            SeekRealTime(*pendingSeek_);
            if (interrupted_) break;
            drawn = false;
        }
        // While the sound plays, the picture follows it.
        const std::int32_t now = sound_ ? sound_->Steer(clock_, SDL_GetTicks64()) : clock_.Time(SDL_GetTicks64());
        if (now > lastTime_ && (options_.loop || passesLeft > 0)) {
            // A show's next pass: the piece from its beginning, as when the program started.
            --passesLeft;
            FreshStart();
            clock_.Start(SDL_GetTicks64(), 0);
            if (sound_) sound_->JumpTo(0);
            drawn = false;
            continue;
        }
        if (now > lastTime_ && host_.exitOnEnd) break;
        if ((clock_.Paused() || now > lastTime_) && drawn) {
            // The last frame stays on screen; the window still answers being moved and resized.
            present();
            SDL_Delay(10);
            continue;
        }
        time = now;
        ApplyEvents(time);
        RenderFrame(time, false);
        present();
        drawn = true;
        const double frameAt = Seconds();
        if (frameAt > lastFrameAt) {
            const double rate = 1.0 / (frameAt - lastFrameAt);
            framesPerSecond_ = framesPerSecond_ > 0 ? 0.9 * framesPerSecond_ + 0.1 * rate : rate;
        }
        lastFrameAt = frameAt;
    }
}

void Player::StartSound()
{
    if (!host_.soundtrack || options_.mute) return;
    std::string why;
    sound_ = SoundOutput::Open(*host_.soundtrack, why);
    if (!sound_) {
        HostWarning(why);
        return;
    }
    // Cued but silent: the synthesizer warms up while the frames before --start are drawn.
    sound_->SetPaused(true);
    sound_->Start(options_.startMs);
}

void Player::StopSound()
{
    if (!sound_) return;
    // How closely the picture followed the sound, for whoever measures it.
    if (std::getenv("TARNELVOIS_SOUND_REPORT")) {
        const SoundOutput::Figures figures = sound_->Report();
        std::fprintf(stderr,
                     "tarnelvois: sound: %lld frames compared, first offset at most %.1f ms, largest drift %.1f ms, "
                     "%lld corrections totalling %lld ms, %lld late buffers\n",
                     static_cast<long long>(figures.comparisons), figures.largestAlignmentMs, figures.largestDriftMs,
                     static_cast<long long>(figures.corrections), static_cast<long long>(figures.correctedMs),
                     static_cast<long long>(figures.underruns));
    }
    sound_.reset();
}

int Player::Run(FrameSink* sink, std::int32_t lastTime)
{
    lastTime_ = lastTime;
    const bool fixedStep = fixedStep_ = host_.context->Headless() || sink || options_.benchmark;
    // The frames before --start, drawn unseen: at the run's own step where frames must match a
    // straight run, at a coarser one in a window, whose clock is real time anyway.
    const std::int32_t preroll = std::min(options_.startMs, lastTime + 1);
    const int rate = fixedStep ? options_.fps : CatchUpRate(preroll);
    const std::int64_t firstShown = FirstFrameAtOrAfter(preroll, rate);
    if (!fixedStep) StartSound();
    CatchUp(0, firstShown, rate);

    int status = 0;
    std::int64_t frame = fixedStep ? firstShown : 0;
    for (int pass = 1; !interrupted_ && fixedStep; ++pass) {
        status = RunFixedStep(sink, frame, lastTime_);
        if (status != 0 || interrupted_ || pass >= options_.passes) break;
        // The next pass starts the piece afresh; a capture's frame numbers go on from this one's.
        frameIndexOffset_ += FirstFrameAtOrAfter(lastTime_ + 1, options_.fps);
        FreshStart();
        frame = 0;
    }
    if (!interrupted_ && !fixedStep) RunRealTime(lastTime_);
    EndRunningEffects();
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
