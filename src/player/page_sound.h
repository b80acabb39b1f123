// The soundtrack in a page: rendered a little ahead of the clock's moment and handed to the page's
// sound sink with an anchor, so the page plays the samples of the moment on screen. A seek or a
// pause moves the anchor; the queue starts afresh where the clock jumped.
#pragma once

#include <cstdint>
#include <vector>

#include "host/clock.h"
#include "sound/soundtrack.h"

class PageSound {
public:
    explicit PageSound(const audio::Soundtrack& soundtrack);

    // Tells the page where the clock stands and renders ahead of it.
    void Follow(const PlaybackClock& clock, std::uint64_t nowMs);
    // Nothing queued plays any more; the next Follow renders from the clock's moment.
    void Silence();
    bool Open() const { return open_; }

private:
    audio::SoundtrackRenderer renderer_;
    std::int64_t renderedUpTo_ = -1;  // the frame after the last one queued; -1: nothing queued
    std::vector<std::int16_t> pcm_;
    std::vector<float> samples_;
    bool open_ = false;
};
