// The soundtrack that goes with a capture: the samples that sound while a run of frames is shown,
// written from a thread of their own into ffmpeg's second input, or into a WAV file beside PNG
// frames, so rendering never waits for the synthesizer.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "audio/soundtrack.h"

struct SampleSpan {
    std::int64_t first = 0;
    std::int64_t count = 0;
};

// The sample frames that sound while frames [firstFrame, firstFrame + frameCount) are shown at fps:
// frame k begins at sample k * 48000 / fps, so the sound lasts exactly as long as the pictures.
SampleSpan SpanOfFrames(std::int64_t firstFrame, std::int64_t frameCount, int fps);

// What a capture carries besides its pictures; no soundtrack, no sound.
struct CaptureSound {
    const audio::Soundtrack* soundtrack = nullptr;
    SampleSpan span;
};

class SoundtrackFeed {
public:
    enum class Format { Raw, Wav };
    // Starts a thread writing the span into descriptor fd (16-bit little-endian stereo, after a
    // WAV header for Format::Wav), which the feed owns and closes.
    SoundtrackFeed(const audio::Soundtrack& soundtrack, SampleSpan span, int fd, Format format);
    // Stops the thread soon and waits for it.
    ~SoundtrackFeed();
    SoundtrackFeed(const SoundtrackFeed&) = delete;
    SoundtrackFeed& operator=(const SoundtrackFeed&) = delete;

    // Waits for the thread; 0 when every sample was written, otherwise the errno of the failure.
    int Finish();

private:
    void Feed(const audio::Soundtrack& soundtrack, SampleSpan span, Format format);

    int fd_;
    std::atomic<bool> stopping_{false};
    int failure_ = 0;  // the thread's until it is joined
    std::thread thread_;
};
