// The soundtrack that goes with a capture: the samples that sound while a run of frames is shown,
// written from a thread of their own into ffmpeg's second input, or into a WAV file beside PNG
// frames, so rendering never waits for the synthesizer.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "sound/soundtrack.h"
#include "sound/wav.h"

struct SampleSpan {
    std::int64_t first = 0;
    std::int64_t count = 0;
};

// The sample frames that sound while frames [firstFrame, firstFrame + frameCount) are shown at fps:
// frame k begins at sample k * 48000 / fps, so the sound lasts exactly as long as the pictures.
SampleSpan SpanOfFrames(std::int64_t firstFrame, std::int64_t frameCount, int fps);

// Spans of the soundtrack written one after the other: one for a straight run, one a pass when
// the piece is captured several times over.
using SampleSpans = std::vector<SampleSpan>;

// What a capture carries besides its pictures; no soundtrack, no sound.
struct CaptureSound {
    const audio::Soundtrack* soundtrack = nullptr;
    SampleSpans spans;
};

class SoundtrackFeed {
public:
    // Writes the spans into descriptor fd as raw 16-bit little-endian stereo; the feed owns fd and
    // closes it when the spans are written (the reader's end of the sound) or the writing fails.
    static std::unique_ptr<SoundtrackFeed> ToDescriptor(const audio::Soundtrack& soundtrack, const SampleSpans& spans, int fd);
    // Writes the spans as a WAV file that appears under path only when Finish succeeds. Null, with
    // error set, when the file cannot be made.
    static std::unique_ptr<SoundtrackFeed> ToWav(const audio::Soundtrack& soundtrack, const SampleSpans& spans,
                                                 const std::string& path, std::string& error);

    // Stops the thread soon and waits for it; an unfinished WAV file is removed.
    ~SoundtrackFeed();
    SoundtrackFeed(const SoundtrackFeed&) = delete;
    SoundtrackFeed& operator=(const SoundtrackFeed&) = delete;

    // Waits until every sample is written (and the WAV file is in place). False, with error set to
    // one line, when they could not all be.
    bool Finish(std::string& error);

private:
    SoundtrackFeed() = default;
    void Start(const audio::Soundtrack& soundtrack, const SampleSpans& spans);
    void Feed(const audio::Soundtrack& soundtrack, SampleSpans spans);
    bool WriteChunk(const std::int16_t* samples, std::int64_t frames);

    int fd_ = -1;
    std::unique_ptr<audio::WavWriter> wav_;
    std::atomic<bool> stopping_{false};
    std::string error_;  // the thread's until it is joined
    std::thread thread_;
};
