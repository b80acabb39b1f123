#include "host/soundtrack_feed.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the samples are written as they lie in memory");

namespace {

// A tenth of a second a write: few wake-ups, little memory.
constexpr std::int64_t kChunkFrames = audio::kSampleRate / 10;
constexpr int kBytesPerFrame = audio::kChannels * 2;

// The canonical 44-byte header of 16-bit PCM, little-endian as the format wants.
std::vector<std::uint8_t> WavHeader(std::int64_t frames)
{
    std::vector<std::uint8_t> header;
    auto text = [&](const char* four) { header.insert(header.end(), four, four + 4); };
    auto number = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) header.push_back(std::uint8_t(value >> (8 * i)));
    };
    const std::uint32_t dataBytes = std::uint32_t(frames * kBytesPerFrame);
    text("RIFF"), number(36 + dataBytes, 4), text("WAVE");
    text("fmt "), number(16, 4), number(1, 2), number(audio::kChannels, 2), number(audio::kSampleRate, 4);
    number(audio::kSampleRate * kBytesPerFrame, 4), number(kBytesPerFrame, 2), number(16, 2);
    text("data"), number(dataBytes, 4);
    return header;
}

// 0, or the errno of the write that failed.
int WriteAll(int fd, const std::uint8_t* bytes, size_t left)
{
    while (left > 0) {
        const ssize_t written = write(fd, bytes, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return written < 0 ? errno : EIO;
        bytes += written, left -= size_t(written);
    }
    return 0;
}

}  // namespace

SampleSpan SpanOfFrames(std::int64_t firstFrame, std::int64_t frameCount, int fps)
{
    auto start = [fps](std::int64_t frame) { return frame * audio::kSampleRate / std::max(fps, 1); };
    return SampleSpan{start(firstFrame), start(firstFrame + frameCount) - start(firstFrame)};
}

SoundtrackFeed::SoundtrackFeed(const audio::Soundtrack& soundtrack, SampleSpan span, int fd, Format format)
    : fd_(fd), thread_(&SoundtrackFeed::Feed, this, std::cref(soundtrack), span, format)
{
}

SoundtrackFeed::~SoundtrackFeed()
{
    stopping_.store(true, std::memory_order_relaxed);
    Finish();
}

int SoundtrackFeed::Finish()
{
    if (thread_.joinable()) thread_.join();
    return failure_;
}

void SoundtrackFeed::Feed(const audio::Soundtrack& soundtrack, SampleSpan span, Format format)
{
    if (format == Format::Wav) {
        const std::vector<std::uint8_t> header = WavHeader(span.count);
        failure_ = WriteAll(fd_, header.data(), header.size());
    }
    audio::SoundtrackRenderer renderer(soundtrack);
    std::vector<std::int16_t> samples(size_t(kChunkFrames) * audio::kChannels);
    for (std::int64_t done = 0; done < span.count && !failure_;) {
        if (stopping_.load(std::memory_order_relaxed)) {
            failure_ = ECANCELED;
            break;
        }
        const std::int64_t count = std::min(kChunkFrames, span.count - done);
        renderer.Render(span.first + done, count, samples.data());
        // Little-endian in the file as in memory (asserted above).
        failure_ = WriteAll(fd_, reinterpret_cast<const std::uint8_t*>(samples.data()), size_t(count) * kBytesPerFrame);
        done += count;
    }
    // Closing is what tells ffmpeg the sound has ended; a file's close can still fail (a full disk).
    if (close(fd_) != 0 && !failure_) failure_ = errno;
}
