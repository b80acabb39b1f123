// Real time in a window: the clock (or, while the sound plays, the sound) says which moment to
// draw; the keys pause and seek; a timeline file that changes is read again and replayed to the
// moment on screen; a loop or further passes start the piece over.
#include <algorithm>
#include <cstdio>

#include "host/timeline_file.h"
#include "host/timeline_params.h"
#include "platform/process.h"
#include "player/player.h"

void Player::StartNextPass()
{
    show_.FreshStart();
    const std::int32_t start = std::min(settings_.startMs, lastTime_);
    if (!replay_.ReachRealTime(start)) return;
    clock_.Start(SDL_GetTicks64(), start);
    if (sound_) {
        sound_->JumpTo(start);
        sound_->SetPaused(false);
    }
}

void Player::SeekRealTime(std::int32_t target)
{
    pendingSeek_.reset();
    // Past the end (a seek key, or a timeline that now ends earlier): the window stays open.
    const bool pastTheEnd = target > lastTime_;
    if (pastTheEnd && settings_.loop) {
        soundCued_.reset();
        return StartNextPass();
    }
    const double started = SteadySeconds(), processorStarted = ProcessorSeconds();
    target = std::clamp(target, 0, lastTime_);
    if (!replay_.ReachRealTime(target)) {
        if (sound_ && soundCued_) sound_->SetPaused(clock_.Paused());
        soundCued_.reset();
        return;
    }
    // The replay took time of its own: the piece goes on from the target, not from later.
    clock_.SeekTo(target, SDL_GetTicks64());
    if (pastTheEnd && !clock_.Paused()) clock_.SetPaused(true, SDL_GetTicks64());
    if (sound_) {
        if (soundCued_ != target) sound_->JumpTo(target);
        sound_->SetPaused(clock_.Paused());
    }
    soundCued_.reset();
    lastReplaySeconds_ = SteadySeconds() - started;
    if (!settings_.quiet)
        std::fprintf(stderr, "tarnelvois: at %d:%06.3f, replayed in %.2f s (%.2f s of processor time)\n",
                     int(target / 60000), (target % 60000) / 1000.0, lastReplaySeconds_,
                     ProcessorSeconds() - processorStarted);
}

void Player::ReloadTimeline()
{
    std::vector<std::string> names;
    for (const RegisteredEffect& registered : host_.effects) names.push_back(registered.name);
    Timeline fresh;
    std::string error;
    if (!LoadTimelineFile(settings_.timelinePath, names, fresh, error)) {
        // The old timeline plays on; the message stays in the overlay until a good one comes.
        timelineError_ = error;
        HostError(error + " (the previous timeline plays on)");
        return;
    }
    for (const std::string& warning : ParamWarnings(fresh, DeclaredEffectParameters(), settings_.timelinePath))
        HostError(warning);
    show_.ReplaceTimeline(std::move(fresh));
    timelineError_.clear();
    lastTime_ = show_.CurrentTimeline().endTime - 1;
    if (settings_.endMs) lastTime_ = std::min(lastTime_, *settings_.endMs);
    // A new timeline is in force from here: the soundtrack's anchors follow it.
    FollowTimelineWithSound();
    if (!settings_.quiet) std::fprintf(stderr, "tarnelvois: %s read again\n", settings_.timelinePath.c_str());
    // The piece as the new timeline would have it at this moment: replayed from its beginning.
    const std::int32_t now = clock_.Time(SDL_GetTicks64());
    show_.ReplayFromStartUpTo(now);
    pendingSeek_ = now;
}

std::vector<OverlayLine> Player::OverlayLines(std::int32_t time) const
{
    char heading[96];
    std::snprintf(heading, sizeof heading, "%d:%06.3f%s   %.0f fps", int(time / 60000), (time % 60000) / 1000.0,
                  clock_.Paused() ? " paused" : "", framesPerSecond_);
    std::vector<OverlayLine> lines{{heading}};
    lines.push_back(
        {"timeline: " + (settings_.timelinePath.empty() ? std::string("the archive's") : settings_.timelinePath)});
    if (!timelineError_.empty()) lines.push_back({timelineError_, true});
    if (lastReplaySeconds_ >= 0) {
        std::snprintf(heading, sizeof heading, "last seek replayed in %.2f s", lastReplaySeconds_);
        lines.push_back({heading});
    }
    for (const Show::RunningEffect& running : show_.Running())
        lines.push_back({"  " + running.registered->name + "  layer " + std::to_string(running.layer)});
    return lines;
}

void Player::RunRealTime()
{
    clock_.Start(SDL_GetTicks64(), settings_.startMs);
    if (host_.startPaused) clock_.SetPaused(true, SDL_GetTicks64());
    if (sound_) sound_->SetPaused(clock_.Paused());
    // The keys pressed while the window caught up to --start act on it now.
    startingUp_ = false;
    for (const SDL_Event& event : heldBack_) HandleEvent(event, settings_.startMs, SDL_GetTicks64());
    heldBack_.clear();
    if (!settings_.timelinePath.empty())
        timelineWatch_ = std::make_unique<FileWatch>(settings_.timelinePath, SDL_GetTicks64());
    std::int32_t time = settings_.startMs;
    bool drawn = false;
    int passesLeft = settings_.passes - 1;
    double lastFrameAt = SteadySeconds();
    auto present = [&]() {
        if (!overlayShown_) return context_.Present();
        const std::vector<OverlayLine> lines = OverlayLines(time);
        context_.Present([&](int width, int height) { DrawOverlay(lines, width, height); });
    };
    while (HandleEvents(show_.ShownTime())) {
        if (timelineWatch_ && timelineWatch_->Changed(SDL_GetTicks64())) ReloadTimeline();
        if (pendingSeek_) {
            SeekRealTime(*pendingSeek_);
            if (interrupted_) break;
            drawn = false;
        }
        // While the sound plays, the picture follows it.
        const std::int32_t now = sound_ ? sound_->Steer(clock_, SDL_GetTicks64()) : clock_.Time(SDL_GetTicks64());
        if (now > lastTime_ && (settings_.loop || passesLeft > 0)) {
            // A show's next pass: the span from its start, as when the program started.
            --passesLeft;
            StartNextPass();
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
        show_.ApplyEvents(time);
        show_.RenderFrame(time, false);
        present();
        drawn = true;
        const double frameAt = SteadySeconds();
        if (frameAt > lastFrameAt) {
            const double rate = 1.0 / (frameAt - lastFrameAt);
            framesPerSecond_ = framesPerSecond_ > 0 ? 0.9 * framesPerSecond_ + 0.1 * rate : rate;
        }
        lastFrameAt = frameAt;
    }
}
