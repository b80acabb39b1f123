// The window's sound. The device's callback copies blocks out of the ring and never waits: when
// the worker is late (or has just been sent elsewhere) it plays silence and time goes on, so the
// sound stays where the clock is. The picture follows what is heard, not the other way round: the
// device's crystal, not the system's, decides how fast the piece runs.
#include "sound/sound_output.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

#include "platform/audio_driver.h"

namespace {

constexpr int kBlockFrames = 512;
// Half a second rendered ahead: rides out a worker starved of CPU by the renderer.
constexpr int kRingBlocks = 48;
// About 11 ms a device buffer: the sound's position is known to within that.
constexpr int kDeviceFrames = 512;
// Below half a frame at 60 fps the picture is left alone: the position's own jitter is smaller.
constexpr double kResyncMs = 8.0;
constexpr int kFrameBits = 40;
constexpr std::uint64_t kFrameMask = (std::uint64_t(1) << kFrameBits) - 1;
constexpr int kWorkerNapMs = 4;

std::int64_t FrameOfRequest(std::uint64_t request) { return std::int64_t(request & kFrameMask); }

std::int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

struct SoundOutput::Block {
    std::uint64_t request;  // which request it was rendered for
    std::int64_t first;
    std::int16_t samples[kBlockFrames * audio::kChannels];
};

SoundOutput::SoundOutput(const audio::Soundtrack& soundtrack) : soundtrack_(soundtrack), ring_(kRingBlocks) {}

std::unique_ptr<SoundOutput> SoundOutput::Open(const audio::Soundtrack& soundtrack, std::string& why)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        why = std::string("no sound: cannot start the audio system (") + SDL_GetError() + "); playing silent";
        return nullptr;
    }
    const char* driver = SDL_GetCurrentAudioDriver();
    if (driver && std::strcmp(driver, "dummy") == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        why = "no sound: the audio driver is SDL's dummy, which plays nothing; playing silent";
        return nullptr;
    }
    QuietAudioDriver(SDL_GetCurrentAudioDriver());
    std::unique_ptr<SoundOutput> output(new SoundOutput(soundtrack));
    SDL_AudioSpec wanted{}, obtained{};
    wanted.freq = audio::kSampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = audio::kChannels;
    wanted.samples = kDeviceFrames;
    wanted.callback = &SoundOutput::Callback;
    wanted.userdata = output.get();
    // Whatever the device wants, SDL converts to; the ring stays in the soundtrack's own format.
    output->device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (output->device_ == 0) {
        why = std::string("no sound: cannot open an audio device (") + SDL_GetError() + "); playing silent";
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    output->deviceFrames_ = obtained.samples;
    return output;
}

SoundOutput::~SoundOutput()
{
    // The device first: once closed, its callback no longer runs.
    if (device_) SDL_CloseAudioDevice(device_);
    stopping_.store(true, std::memory_order_release);
    if (worker_.joinable()) worker_.join();
    if (device_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SoundOutput::Request(std::int64_t frame)
{
    const std::uint64_t generation = (request_.load(std::memory_order_relaxed) >> kFrameBits) + 1;
    request_.store((generation << kFrameBits) | (std::uint64_t(std::max<std::int64_t>(frame, 0)) & kFrameMask),
                   std::memory_order_release);
}

void SoundOutput::Start(std::int32_t ms)
{
    Request(std::int64_t(ms) * audio::kSampleRate / 1000);
    if (!worker_.joinable()) worker_ = std::thread(&SoundOutput::Render, this);
    SDL_PauseAudioDevice(device_, 0);
}

void SoundOutput::SetPaused(bool paused) { paused_.store(paused, std::memory_order_release); }

void SoundOutput::JumpTo(std::int32_t ms) { Request(std::int64_t(ms) * audio::kSampleRate / 1000); }

void SoundOutput::Render()
{
    audio::SoundtrackRenderer renderer(soundtrack_);
    std::uint64_t request = ~std::uint64_t(0);
    std::int64_t next = 0;
    while (!stopping_.load(std::memory_order_acquire)) {
        const std::uint64_t latest = request_.load(std::memory_order_acquire);
        if (latest != request) request = latest, next = FrameOfRequest(latest);
        const std::uint64_t written = written_.load(std::memory_order_relaxed);
        if (written - read_.load(std::memory_order_acquire) >= kRingBlocks) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kWorkerNapMs));
            continue;
        }
        Block& block = ring_[written % kRingBlocks];
        block.request = request;
        block.first = next;
        renderer.Render(next, kBlockFrames, block.samples);
        written_.store(written + 1, std::memory_order_release);
        next += kBlockFrames;
    }
}

void SoundOutput::Callback(void* self, std::uint8_t* stream, int bytes)
{
    static_cast<SoundOutput*>(self)->Fill(reinterpret_cast<std::int16_t*>(stream),
                                          bytes / int(sizeof(std::int16_t) * audio::kChannels));
}

int SoundOutput::Take(std::int16_t* out, int count, bool consume)
{
    int filled = 0;
    std::int64_t frame = nextFrame_;
    std::uint64_t read = read_.load(std::memory_order_relaxed);
    const std::uint64_t written = written_.load(std::memory_order_acquire);
    // Blocks of an older request, or for frames already gone by in silence, are dropped, even by
    // a look: a paused or holding output must not leave the worker a ring full of them.
    const bool current = playing_ == request_.load(std::memory_order_acquire);
    while (filled < count && read < written) {
        const Block& block = ring_[read % kRingBlocks];
        if (block.request != playing_ || block.first + kBlockFrames <= frame) {
            if (++read; current && filled == 0) read_.store(read, std::memory_order_release);
            continue;
        }
        if (block.first > frame) break;
        const int offset = int(frame - block.first);
        const int take = std::min(kBlockFrames - offset, count - filled);
        std::memcpy(out + filled * audio::kChannels, block.samples + offset * audio::kChannels,
                    size_t(take) * audio::kChannels * sizeof *out);
        filled += take;
        frame += take;
        if (offset + take == kBlockFrames) ++read;
    }
    if (consume) {
        read_.store(read, std::memory_order_release);
        nextFrame_ = frame;
    }
    return filled;
}

int SoundOutput::FadeOut(std::int16_t* out, int frames)
{
    // What would have played next, looked at but not taken: a resume plays it again, faded in.
    const int length = std::min(frames, int(std::ceil(level_ * kRampFrames)));
    const int known = Take(out, length, false);
    for (int i = 0; i < length; ++i) {
        const double gain = std::max(0.0, level_ - double(i + 1) / kRampFrames);
        for (int channel = 0; channel < audio::kChannels; ++channel) {
            // Past what the worker has rendered, the last sound heard dies away instead.
            const double sample = i < known ? out[i * audio::kChannels + channel] : last_[channel];
            out[i * audio::kChannels + channel] = std::int16_t(std::lround(sample * gain));
        }
    }
    level_ = 0;
    return length;
}

void SoundOutput::Fill(std::int16_t* out, int frames)
{
    const std::uint64_t request = request_.load(std::memory_order_acquire);
    const bool paused = paused_.load(std::memory_order_acquire);
    const auto silence = [&](int from) {
        std::memset(out + from * audio::kChannels, 0, size_t(frames - from) * audio::kChannels * sizeof *out);
        last_[0] = last_[1] = 0;
    };
    if (level_ > 0 && (paused || request != playing_)) {
        silence(FadeOut(out, frames));
        playedSinceChange_ = 0;
        Publish(nextFrame_, false);
        return;
    }
    if (request != playing_) playing_ = request, nextFrame_ = FrameOfRequest(request), holding_ = true;
    if (std::int16_t first[audio::kChannels]; (holding_ && Take(first, 1, false) == 0) || paused) {
        // Paused, or the first block of a new place not rendered yet: silence, and time stands still.
        silence(0);
        playedSinceChange_ = 0;
        Publish(nextFrame_, false);
        return;
    }
    holding_ = false;
    const std::int64_t start = nextFrame_;
    const int filled = Take(out, frames, true);
    const auto scale = [&](int i, double gain) {
        for (int channel = 0; channel < audio::kChannels; ++channel)
            out[i * audio::kChannels + channel] = std::int16_t(std::lround(out[i * audio::kChannels + channel] * gain));
    };
    for (int i = 0; i < filled && level_ < 1; ++i) scale(i, level_ = std::min(1.0, level_ + 1.0 / kRampFrames));
    if (filled < frames) {
        // The worker is late: what was taken fades out (or, with nothing taken, the last sound
        // heard dies away), and silence goes on where time does.
        for (int i = std::max(0, filled - kRampFrames); i < filled; ++i) scale(i, double(filled - i - 1) / kRampFrames);
        silence(filled > 0 ? filled : FadeOut(out, frames));
        level_ = 0;
        nextFrame_ += frames - filled;
        underruns_.fetch_add(1, std::memory_order_relaxed);
    } else {
        std::memcpy(last_, out + (frames - 1) * audio::kChannels, sizeof last_);
    }
    playedSinceChange_ += frames;
    // What the device sounds now is the buffer handed over before this one.
    Publish(start, playedSinceChange_ >= std::int64_t(frames) + deviceFrames_);
}

void SoundOutput::Publish(std::int64_t first, bool steady)
{
    // An odd sequence number marks the fields as changing; release stores keep them after it.
    const std::uint32_t sequence = sequence_.load(std::memory_order_relaxed);
    sequence_.store(sequence + 1, std::memory_order_relaxed);
    heardRequest_.store(playing_, std::memory_order_release);
    heardFirst_.store(first, std::memory_order_release);
    heardStampNs_.store(NowNs(), std::memory_order_release);
    heardSteady_.store(steady, std::memory_order_release);
    sequence_.store(sequence + 2, std::memory_order_release);
}

std::optional<double> SoundOutput::HeardMs() const
{
    std::uint64_t request;
    std::int64_t first, stamp;
    bool steady;
    for (;;) {
        // A field read from a newer publication makes the sequence read after it differ.
        const std::uint32_t before = sequence_.load(std::memory_order_acquire);
        request = heardRequest_.load(std::memory_order_acquire);
        first = heardFirst_.load(std::memory_order_acquire);
        stamp = heardStampNs_.load(std::memory_order_acquire);
        steady = heardSteady_.load(std::memory_order_acquire);
        if (!(before & 1) && sequence_.load(std::memory_order_relaxed) == before) break;
    }
    if (!steady || request != request_.load(std::memory_order_acquire) || paused_.load(std::memory_order_acquire))
        return std::nullopt;
    // Between two callbacks the device plays on at its rate; never further than one buffer.
    const double elapsed = std::clamp(double(NowNs() - stamp) * audio::kSampleRate / 1e9, 0.0, double(deviceFrames_));
    return (double(first - deviceFrames_) + elapsed) * 1000.0 / audio::kSampleRate;
}

std::int32_t SoundOutput::Steer(PlaybackClock& clock, std::uint64_t nowMs)
{
    const std::int32_t shown = clock.Time(nowMs);
    const std::optional<double> heard = HeardMs();
    const bool aligning = !locked_;
    locked_ = heard && !clock.Paused();
    if (!locked_) return shown;
    // The first comparison after a start, jump or resume finds how late the device began; the
    // ones after it, how far its clock and the wall's drift apart.
    const double drift = *heard - shown;
    ++figures_.comparisons;
    double& largest = aligning ? figures_.largestAlignmentMs : figures_.largestDriftMs;
    largest = std::max(largest, std::abs(drift));
    if (std::abs(drift) < kResyncMs) return shown;
    const std::int32_t correction = std::int32_t(std::lround(drift));
    clock.Skip(correction, nowMs);
    ++figures_.corrections;
    figures_.correctedMs += correction;
    return clock.Time(nowMs);
}

SoundOutput::Figures SoundOutput::Report() const
{
    Figures figures = figures_;
    figures.underruns = underruns_.load(std::memory_order_relaxed);
    return figures;
}
