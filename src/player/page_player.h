// The piece played in a browser page: the show drawn at the clock's moment once per display
// refresh, the keys' pauses and seeks carried out by replays, a pause while the tab is hidden,
// and the end screen. The page's sound follows the same clock (page_sound).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "host/clock.h"
#include "host/host_state.h"
#include "platform/web/page.h"
#include "player/page_sound.h"
#include "player/render_target.h"
#include "player/replay.h"
#include "player/show.h"

class PagePlayer {
public:
    // soundtrack: null for a silent page.
    PagePlayer(HostState& host, RenderTarget& target, const SStartupDat& startup, Timeline timeline,
               std::int32_t lastTime, const audio::Soundtrack* soundtrack);

    // Catches the effects up to startMs and starts the clock there.
    void Start(std::int32_t startMs, std::uint64_t nowMs);
    // One display refresh.
    void Frame(std::uint64_t nowMs);
    void Key(page::Key key, std::uint64_t nowMs);
    // A hidden tab pauses the piece; it plays on when shown, unless the viewer had paused it.
    void Visibility(bool hidden, std::uint64_t nowMs);

    const PlaybackClock& Clock() const { return clock_; }
    bool Ended() const { return ended_; }

private:
    void SeekTo(std::int32_t target, std::uint64_t nowMs);
    void SetPaused(bool paused, std::uint64_t nowMs);
    void UpdateOverlay(std::int32_t time);

    Show show_;
    Replay replay_;
    std::int32_t lastTime_;
    PlaybackClock clock_;
    std::optional<PageSound> sound_;
    std::optional<std::int32_t> pendingSeek_;
    bool pausedByViewer_ = false;
    bool hidden_ = false;
    bool ended_ = false;
    bool overlayShown_ = false;
};
