#include "player/page_sound.h"

#include <algorithm>

#include "platform/web/page_sound.h"

namespace {

constexpr std::int64_t kFramesPerMs = audio::kSampleRate / 1000;
// How far ahead of the clock the queue reaches: several display refreshes and a slow frame.
constexpr std::int64_t kAheadFrames = audio::kSampleRate * 3 / 10;
constexpr std::int64_t kChunkFrames = 2048;

}  // namespace

PageSound::PageSound(const audio::Soundtrack& soundtrack)
    : renderer_(soundtrack), pcm_(2 * kChunkFrames), samples_(2 * kChunkFrames)
{
    open_ = page::OpenSound(audio::kSampleRate);
}

void PageSound::Follow(const PlaybackClock& clock, std::uint64_t nowMs)
{
    if (!open_) return;
    const std::int64_t frame = std::int64_t(clock.Time(nowMs)) * kFramesPerMs;
    page::AnchorSound(nowMs, frame, !clock.Paused());
    // A queue that does not hold the clock's moment (a seek, a long stall) starts again there.
    if (renderedUpTo_ < frame || renderedUpTo_ > frame + 2 * kAheadFrames) renderedUpTo_ = frame;
    const std::int64_t until = frame + kAheadFrames;
    while (renderedUpTo_ < until) {
        const std::int64_t count = std::min(kChunkFrames, until - renderedUpTo_);
        renderer_.Render(renderedUpTo_, count, pcm_.data());
        for (std::int64_t i = 0; i < 2 * count; ++i) samples_[size_t(i)] = pcm_[size_t(i)] / 32768.0f;
        page::QueueSound(renderedUpTo_, samples_.data(), int(count));
        renderedUpTo_ += count;
    }
}

void PageSound::Silence()
{
    renderedUpTo_ = -1;
    if (open_) page::SilenceSound();
}
