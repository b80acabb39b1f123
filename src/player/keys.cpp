// The player's keys and the window's other events: quit, pause, full screen, the screenshot, the
// seek keys and the overlay. A seek is only asked for here; the loop carries it out.
#include <algorithm>
#include <cstdio>

#include "capture/frame_sink.h"
#include "capture/readback.h"
#include "platform/interrupt.h"
#include "player/key_bindings.h"
#include "player/player.h"

namespace {

constexpr std::int32_t kSkipMs = 10000;

}  // namespace

void Player::SaveScreenshot(std::int32_t time)
{
    if (time < 0) {
        HostError("F12: no frame shown yet, nothing saved");
        return;
    }
    // The frame on screen is still in the render target: one read through the capture's path.
    context_.BindRenderTarget();
    AsyncReadback once(context_.RenderWidth(), context_.RenderHeight(), 1);
    ReadFrame shot;
    once.Start(0, shot);
    once.FinishOldest(shot);
    char name[64];
    std::snprintf(name, sizeof name, "tarnelvois-%09dms.png", int(time));
    std::string error;
    if (WritePng(name, shot.rgb, context_.RenderWidth(), context_.RenderHeight(), error))
        std::fprintf(stderr, "tarnelvois: saved %s\n", name);
    else
        HostError(error);
}

void Player::RequestSeek(std::int32_t target, std::uint64_t nowMs)
{
    target = std::max(target, 0);
    clock_.SeekTo(target, nowMs);
    pendingSeek_ = target;
    // The synthesizer warms up at the target while the picture is replayed up to it; silent
    // meanwhile, the sound resumes with the picture.
    if (sound_) {
        sound_->SetPaused(true);
        sound_->JumpTo(target);
        soundCued_ = target;
    }
}

bool Player::HoldsBackTimeKey(const SDL_Event& event)
{
    switch (ActionForEvent(event, startup_)) {
    case PlayerAction::Pause:
    case PlayerAction::SeekBack:
    case PlayerAction::SeekForward:
    case PlayerAction::SeekStart: break;
    default: return false;
    }
    if (fixedStep_) {
        if (!timeKeysRefusedSaid_ && !settings_.quiet)
            std::fprintf(stderr, "tarnelvois: pause and the seek keys are off while capturing; Esc stops the capture\n");
        timeKeysRefusedSaid_ = true;
        return true;
    }
    if (startingUp_) {
        heldBack_.push_back(event);
        return true;
    }
    return false;
}

bool Player::HandleEvent(const SDL_Event& event, std::int32_t frameTime, std::uint64_t nowMs)
{
    if (event.type == SDL_QUIT) {
        interrupted_ = true;
        return false;
    }
    if (HoldsBackTimeKey(event)) return true;
    switch (ActionForEvent(event, startup_)) {
    case PlayerAction::Quit: interrupted_ = true; return false;
    case PlayerAction::Pause:
        clock_.SetPaused(!clock_.Paused(), nowMs);
        if (sound_) sound_->SetPaused(clock_.Paused());
        break;
    case PlayerAction::Fullscreen: context_.SetFullscreen(!context_.Fullscreen()); break;
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
