#include "sound/soundtrack_feed.h"

#include <algorithm>
#include <vector>

#include "platform/descriptors.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "raw samples go to ffmpeg as they lie in memory");

namespace {

// A tenth of a second a write: few wake-ups, little memory.
constexpr std::int64_t kChunkFrames = audio::kSampleRate / 10;

}  // namespace

SampleSpan SpanOfFrames(std::int64_t firstFrame, std::int64_t frameCount, int fps)
{
    auto start = [fps](std::int64_t frame) { return frame * audio::kSampleRate / std::max(fps, 1); };
    return SampleSpan{start(firstFrame), start(firstFrame + frameCount) - start(firstFrame)};
}

std::unique_ptr<SoundtrackFeed> SoundtrackFeed::ToDescriptor(const audio::Soundtrack& soundtrack, SampleSpan span, int fd)
{
    std::unique_ptr<SoundtrackFeed> feed(new SoundtrackFeed);
    feed->fd_ = fd;
    feed->Start(soundtrack, span);
    return feed;
}

std::unique_ptr<SoundtrackFeed> SoundtrackFeed::ToWav(const audio::Soundtrack& soundtrack, SampleSpan span,
                                                      const std::string& path, std::string& error)
{
    std::unique_ptr<SoundtrackFeed> feed(new SoundtrackFeed);
    feed->wav_ = std::make_unique<audio::WavWriter>();
    if (!feed->wav_->Open(path, error)) return nullptr;
    feed->Start(soundtrack, span);
    return feed;
}

void SoundtrackFeed::Start(const audio::Soundtrack& soundtrack, SampleSpan span)
{
    thread_ = std::thread(&SoundtrackFeed::Feed, this, std::cref(soundtrack), span);
}

SoundtrackFeed::~SoundtrackFeed()
{
    stopping_.store(true, std::memory_order_relaxed);
    if (thread_.joinable()) thread_.join();
}

bool SoundtrackFeed::WriteChunk(const std::int16_t* samples, std::int64_t frames)
{
    if (wav_) return wav_->Write(samples, frames, error_);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(samples);
    std::string reason;
    if (WriteAllTo(fd_, bytes, size_t(frames) * audio::kChannels * sizeof *samples, reason)) return true;
    error_ = "the sound could not be handed over: " + reason;
    return false;
}

void SoundtrackFeed::Feed(const audio::Soundtrack& soundtrack, SampleSpan span)
{
    audio::SoundtrackRenderer renderer(soundtrack);
    std::vector<std::int16_t> samples(size_t(kChunkFrames) * audio::kChannels);
    for (std::int64_t done = 0; done < span.count;) {
        if (stopping_.load(std::memory_order_relaxed)) {
            error_ = "the sound was stopped before its end";
            break;
        }
        const std::int64_t count = std::min(kChunkFrames, span.count - done);
        renderer.Render(span.first + done, count, samples.data());
        if (!WriteChunk(samples.data(), count)) break;
        done += count;
    }
    // Closing the descriptor is what tells ffmpeg the sound has ended.
    if (fd_ >= 0) CloseDescriptor(fd_), fd_ = -1;
}

bool SoundtrackFeed::Finish(std::string& error)
{
    if (thread_.joinable()) thread_.join();
    if (error_.empty() && wav_ && !wav_->Close(error_)) wav_.reset();
    error = error_;
    return error_.empty();
}
