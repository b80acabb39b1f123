// The soundtrack heard in the window: SDL's audio device, fed from a ring of sample blocks that a
// worker thread keeps filled ahead of the playhead, so no frame ever waits for the synthesizer.
//
// Who may call what: every public function belongs to the player's thread. Inside, the worker
// alone renders into the ring and the device's callback alone copies out of it; the two meet only
// at the ring's counters and at the player's latest request, all atomics.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "sound/soundtrack.h"
#include "host/clock.h"

class SoundOutput {
public:
    // Opens the default audio device for 48 kHz stereo 16-bit. Null, with why set to one line, when
    // there is no device to play on (none found, a driver that fails, or SDL's dummy driver).
    static std::unique_ptr<SoundOutput> Open(const audio::Soundtrack& soundtrack, std::string& why);
    ~SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    // Starts the device and the rendering from demo time ms; the sound is heard from there unless
    // paused, and a paused start lets the synthesizer warm up before the first sound.
    void Start(std::int32_t ms);
    void SetPaused(bool paused);
    // Goes on from demo time ms (a skip or a seek); what was rendered ahead is dropped. Paused
    // meanwhile, the synthesizer warms up there while the player catches the picture up.
    void JumpTo(std::int32_t ms);
    // The sound never steps: it fades out over kRampFrames when it pauses, jumps or runs dry, and
    // fades in as it starts again. After a start or a jump it holds its place, silent, until the
    // synthesizer has the first block of it: the music begins where asked, not later.
    static constexpr int kRampFrames = 240;  // 5 ms

    // The demo time being heard now, judged from the device's progress. Nothing while paused, and
    // until the device has played a buffer's worth since the last start, jump or resume.
    std::optional<double> HeardMs() const;

    // Keeps the picture on the sound: when the clock is more than a few milliseconds from what is
    // heard, it is set to it. Returns the clock's time at nowMs after any correction.
    std::int32_t Steer(PlaybackClock& clock, std::uint64_t nowMs);

    // How far picture and sound drifted apart, for the report at the end of a run.
    struct Figures {
        std::int64_t comparisons = 0;
        double largestAlignmentMs = 0;  // the first comparison after a start, jump or resume
        double largestDriftMs = 0;      // every later one, before correction
        std::int64_t corrections = 0;
        std::int64_t correctedMs = 0;  // sum of the corrections: the device's clock against the wall's
        std::int64_t underruns = 0;    // device buffers the worker had not filled in time
    };
    Figures Report() const;

private:
    struct Block;
    explicit SoundOutput(const audio::Soundtrack& soundtrack);
    static void Callback(void* self, std::uint8_t* stream, int bytes);
    void Fill(std::int16_t* out, int frames);
    // Copies up to count frames of what plays from nextFrame_ on; consume moves on past them.
    int Take(std::int16_t* out, int count, bool consume);
    int FadeOut(std::int16_t* out, int frames);
    void Publish(std::int64_t first, bool steady);
    void Render();
    void Request(std::int64_t frame);

    const audio::Soundtrack& soundtrack_;
    std::uint32_t device_ = 0;
    int deviceFrames_ = 0;
    std::vector<Block> ring_;
    std::atomic<std::uint64_t> written_{0}, read_{0};  // blocks, counted from the start
    // The player's latest request: a generation in the high bits, the frame to play from below.
    std::atomic<std::uint64_t> request_{0};
    std::atomic<bool> paused_{false};
    std::atomic<bool> stopping_{false};
    std::atomic<std::int64_t> underruns_{0};
    std::thread worker_;

    // The callback's own.
    std::uint64_t playing_ = ~std::uint64_t(0);
    std::int64_t nextFrame_ = 0;
    std::int64_t playedSinceChange_ = 0;
    bool holding_ = true;   // waiting, in place, for the first block of a start or a jump
    double level_ = 0;      // the fade's gain: 0 silent, 1 full
    std::int16_t last_[2] = {0, 0};  // the last frame handed to the device

    // What the callback last handed to the device, read by HeardMs (a sequence lock).
    std::atomic<std::uint32_t> sequence_{0};
    std::atomic<std::uint64_t> heardRequest_{0};
    std::atomic<std::int64_t> heardFirst_{0}, heardStampNs_{0};
    std::atomic<bool> heardSteady_{false};

    // The player's: whether the last Steer compared the clock with a known position.
    bool locked_ = false;
    Figures figures_;
};
