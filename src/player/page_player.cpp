#include "player/page_player.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::int32_t kSkipMs = 10000;  // Left and Right, as in the window

}  // namespace

PagePlayer::PagePlayer(HostState& host, RenderTarget& target, const SStartupDat& startup, Timeline timeline,
                       std::int32_t lastTime, const audio::Soundtrack* soundtrack)
    : show_(host, target, std::move(timeline)),
      replay_(show_, target, startup, [] { return true; }),
      lastTime_(lastTime)
{
    if (soundtrack) sound_.emplace(*soundtrack);
}

void PagePlayer::Start(std::int32_t startMs, std::uint64_t nowMs)
{
    ended_ = false;
    page::ShowEnd(false);
    startMs = std::clamp(startMs, 0, lastTime_);
    if (show_.RenderedTime() >= 0) show_.FreshStart();
    replay_.ReachRealTime(startMs);
    // The catch-up took time of its own: the piece starts from startMs now.
    nowMs = page::NowMs();
    clock_.Start(nowMs, startMs);
    clock_.SetPaused(pausedByViewer_ || hidden_, nowMs);
    if (sound_) sound_->Follow(clock_, nowMs);
}

void PagePlayer::SeekTo(std::int32_t target, std::uint64_t nowMs)
{
    target = std::clamp(target, 0, lastTime_);
    if (sound_) sound_->Silence();
    replay_.ReachRealTime(target);
    clock_.SeekTo(target, page::NowMs());
    (void)nowMs;
}

void PagePlayer::SetPaused(bool paused, std::uint64_t nowMs)
{
    clock_.SetPaused(paused, nowMs);
    if (sound_) sound_->Follow(clock_, nowMs);
}

void PagePlayer::Frame(std::uint64_t nowMs)
{
    if (ended_) return;
    if (pendingSeek_) {
        SeekTo(*pendingSeek_, nowMs);
        pendingSeek_.reset();
        nowMs = page::NowMs();
    }
    const std::int32_t time = clock_.Time(nowMs);
    if (time > lastTime_) {
        ended_ = true;
        if (sound_) sound_->Silence();
        page::ShowEnd(true);
        return;
    }
    // A frame the show is already past (the clock went back) is reached by a replay.
    if (time < show_.RenderedTime()) replay_.ReachRealTime(time);
    show_.ApplyEvents(time);
    show_.RenderFrame(time, false);
    if (sound_) sound_->Follow(clock_, nowMs);
    if (overlayShown_) UpdateOverlay(time);
}

void PagePlayer::Key(page::Key key, std::uint64_t nowMs)
{
    const std::int32_t now = pendingSeek_ ? *pendingSeek_ : clock_.Time(nowMs);
    switch (key) {
    case page::Key::Pause:
        if (ended_) break;
        pausedByViewer_ = !clock_.Paused();
        SetPaused(pausedByViewer_, nowMs);
        break;
    case page::Key::SeekBack: pendingSeek_ = std::max(now - kSkipMs, 0); break;
    case page::Key::SeekForward: pendingSeek_ = now + kSkipMs; break;
    case page::Key::SeekStart: pendingSeek_ = 0; break;
    case page::Key::Fullscreen: page::ToggleFullscreen(); break;
    case page::Key::Overlay:
        overlayShown_ = !overlayShown_;
        if (overlayShown_) UpdateOverlay(clock_.Time(nowMs));
        else page::ShowOverlay(false, "");
        break;
    case page::Key::Restart: Start(0, nowMs); break;
    case page::Key::None: break;
    }
    // A seek from the end screen plays again from the target.
    if (ended_ && pendingSeek_) {
        const std::int32_t target = *pendingSeek_;
        pendingSeek_.reset();
        Start(target, nowMs);
    }
}

void PagePlayer::Visibility(bool hidden, std::uint64_t nowMs)
{
    hidden_ = hidden;
    if (ended_) return;
    SetPaused(hidden || pausedByViewer_, nowMs);
}

void PagePlayer::UpdateOverlay(std::int32_t time)
{
    char clock[32];
    std::snprintf(clock, sizeof clock, "%d:%06.3f%s", int(time / 60000), (time % 60000) / 1000.0,
                  clock_.Paused() ? " (paused)" : "");
    std::string text = clock;
    for (const std::string& name : show_.RunningNames()) text += "\n" + name;
    page::ShowOverlay(true, text);
}
