#include "sound/soundtrack_feed.h"

#include <algorithm>
#include <vector>

#include "platform/descriptors.h"
#include "platform/process.h"

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

std::unique_ptr<SoundtrackFeed> SoundtrackFeed::ToDescriptor(const audio::Soundtrack& soundtrack, const SampleSpans& spans,
                                                             int fd)
{
    std::unique_ptr<SoundtrackFeed> feed(new SoundtrackFeed);
    feed->fd_ = fd;
    feed->Start(soundtrack, spans);
    return feed;
}

std::unique_ptr<SoundtrackFeed> SoundtrackFeed::ToWav(const audio::Soundtrack& soundtrack, const SampleSpans& spans,
                                                      const std::string& path, std::string& error)
{
    std::unique_ptr<SoundtrackFeed> feed(new SoundtrackFeed);
    feed->wav_ = std::make_unique<audio::WavWriter>();
    // The temporary name is this process's own: two captures into one folder never take each
    // other's half-written sound.
    if (!feed->wav_->Open(path, error, path + "." + std::to_string(ProcessId()) + ".part")) return nullptr;
    feed->Start(soundtrack, spans);
    return feed;
}

void SoundtrackFeed::Start(const audio::Soundtrack& soundtrack, const SampleSpans& spans)
{
    thread_ = std::thread(&SoundtrackFeed::Feed, this, std::cref(soundtrack), spans);
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

void SoundtrackFeed::Feed(const audio::Soundtrack& soundtrack, SampleSpans spans)
{
    audio::SoundtrackRenderer renderer(soundtrack);
    std::vector<std::int16_t> samples(size_t(kChunkFrames) * audio::kChannels);
    bool writing = true;
    for (const SampleSpan& span : spans) {
        for (std::int64_t done = 0; writing && done < span.count;) {
            if (stopping_.load(std::memory_order_relaxed)) {
                error_ = "the sound was stopped before its end";
                writing = false;
                break;
            }
            const std::int64_t count = std::min(kChunkFrames, span.count - done);
            renderer.Render(span.first + done, count, samples.data());
            writing = WriteChunk(samples.data(), count);
            done += count;
        }
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
