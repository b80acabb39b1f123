// Video capture: raw RGB frames piped into ffmpeg, which encodes and muxes them into a temporary
// file beside the final one; a rename makes the video appear only when it is complete.
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "capture/capture_target.h"
#include "capture/frame_sink.h"
#include "capture/video_command.h"
#include "platform/encoder_process.h"
#include "platform/files.h"
#include "platform/find_on_path.h"
#include "platform/interrupt.h"
#include "platform/process.h"
#include "sound/soundtrack_feed.h"

namespace {

// Frames waiting for the encoder. Enough to ride out an encoder's uneven pace (a key frame, the
// look-ahead filling up) without holding more than a few frames of memory.
constexpr size_t kQueuedFrames = 4;
// How often a wait on the encoder looks at the interrupt flag: a stalled encoder must not keep
// Ctrl+C unanswered.
constexpr auto kInterruptCheck = std::chrono::milliseconds(10);
constexpr int kFrameInput = 0;

class VideoSink : public FrameSink {
public:
    VideoSink(std::string path, std::string temporary, bool overwrite)
        : path_(std::move(path)), temporary_(std::move(temporary)), overwrite_(overwrite)
    {
    }
    ~VideoSink() override { Abandon(); }

    bool Start(const std::vector<std::string>& arguments, const CaptureSound& sound, std::string& error);
    bool Write(std::int64_t, const std::vector<std::uint8_t>& rgb, int, int, std::string& error) override
    {
        return Queue([&](std::vector<std::uint8_t>& frame) { frame.assign(rgb.begin(), rgb.end()); }, error);
    }
    bool WriteTaking(std::int64_t, std::vector<std::uint8_t>& rgb, int, int, std::string& error) override
    {
        return Queue([&](std::vector<std::uint8_t>& frame) { frame.swap(rgb); }, error);
    }
    bool Finish(std::string& error) override;
    void Abandon() override;
    std::string LeftBehind() const override { return "nothing written under " + path_; }
    bool TakesBgr() const override { return true; }

private:
    // Waits for room in the queue, then queues a spare frame that 'fill' has filled.
    template <typename Fill>
    bool Queue(Fill fill, std::string& error);
    void Feed();
    // Waits until the feeder has handed ffmpeg every queued frame or given up; false when an
    // interrupt came first.
    bool Drain();
    void StopFeeder();
    std::string Failure(const std::string& how) const
    {
        return "the video encoder (ffmpeg) " + how + "; " + path_ + " was not written";
    }

    std::string path_, temporary_;
    bool overwrite_;  // the final rename may replace a file there
    EncoderProcess encoder_;
    std::thread feeder_;
    std::unique_ptr<SoundtrackFeed> sound_;  // ffmpeg's second input, when the video has sound

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<std::uint8_t>> queue_;
    std::vector<std::vector<std::uint8_t>> spare_;
    bool closing_ = false;
    bool broken_ = false;  // ffmpeg stopped taking frames
    bool fed_ = false;     // the feeder has returned
    bool soundCut_ = false;  // ffmpeg did not take all the sound
    bool done_ = false;
};

bool VideoSink::Start(const std::vector<std::string>& arguments, const CaptureSound& sound, std::string& error)
{
    if (!encoder_.Start(arguments, sound.soundtrack ? 2 : 1, error)) return false;
    ArmEmergencyCleanup(CleanupSlot::Encoder, encoder_.ProcessGroup(), temporary_.c_str());
    // The sound's pipe belongs to its feed, which closes it when the span is written: that is how
    // ffmpeg learns where the sound ends. A killed encoder makes the feed's writes fail at once.
    if (sound.soundtrack)
        sound_ = SoundtrackFeed::ToDescriptor(*sound.soundtrack, sound.spans, encoder_.ReleaseInput(1));
    feeder_ = std::thread(&VideoSink::Feed, this);
    return true;
}

void VideoSink::Feed()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return !queue_.empty() || closing_; });
        if (queue_.empty()) break;
        std::vector<std::uint8_t> frame = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        const bool written = encoder_.Write(kFrameInput, frame.data(), frame.size());
        lock.lock();
        spare_.push_back(std::move(frame));
        if (!written) {
            broken_ = true;
            queue_.clear();
            break;
        }
        changed_.notify_all();
    }
    fed_ = true;
    changed_.notify_all();
}

template <typename Fill>
bool VideoSink::Queue(Fill fill, std::string& error)
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (queue_.size() >= kQueuedFrames && !broken_) {
        // The run loop answers the interrupt right after this frame; the capture is thrown away.
        if (InterruptSignal()) return true;
        changed_.wait_for(lock, kInterruptCheck);
    }
    if (broken_) {
        lock.unlock();
        StopFeeder();
        std::string how;
        encoder_.Wait(how);
        error = Failure(how.empty() ? "stopped reading frames" : how);
        return false;
    }
    std::vector<std::uint8_t> frame;
    if (!spare_.empty()) {
        frame = std::move(spare_.back());
        spare_.pop_back();
    }
    fill(frame);
    queue_.push_back(std::move(frame));
    changed_.notify_all();
    return true;
}

bool VideoSink::Drain()
{
    std::unique_lock<std::mutex> lock(mutex_);
    closing_ = true;
    changed_.notify_all();
    while (!fed_) {
        if (InterruptSignal()) return false;
        changed_.wait_for(lock, kInterruptCheck);
    }
    return true;
}

void VideoSink::StopFeeder()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    if (feeder_.joinable()) feeder_.join();
}

bool VideoSink::Finish(std::string& error)
{
    if (!Drain()) {
        Abandon();
        return false;  // interrupted: the caller says what is left
    }
    StopFeeder();
    std::string how;
    bool keep = false;
    const EncoderProcess::Ending ending = encoder_.Wait(how);
    if (ending == EncoderProcess::Ending::Interrupted) {
        Abandon();
        return false;
    }
    // ffmpeg has read the sound to its end, or is gone and the feed's writes failed.
    std::string ignored;  // ffmpeg's own complaint says more
    if (sound_ && !sound_->Finish(ignored)) soundCut_ = true;
    done_ = true;
    if (ending == EncoderProcess::Ending::Failed || broken_ || soundCut_) {
        error = Failure(how.empty() ? "stopped reading frames" : how);
    } else if (const int failure = FlushToDisk(temporary_)) {
        error = "cannot write " + path_ + ": " + std::strerror(failure);
    } else if (!StopAnsweringInterrupts()) {
        done_ = false;
        Abandon();
        return false;
    } else {
        std::string reason;
        const Placement placed = MoveIntoPlace(temporary_, path_, overwrite_, reason);
        if (placed == Placement::TargetExists) {
            // Another capture of the same name finished first: neither video is thrown away.
            error = path_ + " appeared while this capture ran (another capture of that name?) and was left as it "
                    "is; this video is kept as " + temporary_;
            keep = true;
        } else if (placed == Placement::Failed) {
            error = "cannot write " + path_ + ": " + reason;
        }
    }
    if (!error.empty() && !keep) std::remove(temporary_.c_str());
    DisarmEmergencyCleanup(CleanupSlot::Encoder);
    return error.empty();
}

void VideoSink::Abandon()
{
    if (done_) return;
    done_ = true;
    // The file is thrown away, so ffmpeg need not finish it; killing it also frees a feeder
    // blocked on a full pipe.
    encoder_.Kill();
    StopFeeder();
    sound_.reset();
    std::remove(temporary_.c_str());
    DisarmEmergencyCleanup(CleanupSlot::Encoder);
}

}  // namespace

std::unique_ptr<FrameSink> MakeVideoSink(const std::string& path, const FrameLayout& layout, int fps, bool overwrite,
                                         std::string& error, const CaptureSound& sound, const VideoEncoding& encoding)
{
    const char* searchPath = std::getenv("PATH");
    const std::string ffmpeg = FindOnPath("ffmpeg", searchPath ? searchPath : "");
    if (ffmpeg.empty()) {
        error = "--capture " + path + ": ffmpeg is not on PATH; install it, or capture PNG frames into a folder";
        return nullptr;
    }
    const std::string temporary = TemporaryNameBeside(path, ProcessId());
    std::FILE* probe = std::fopen(temporary.c_str(), "wb");
    if (!probe) {
        error = "--capture: cannot write " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    std::fclose(probe);
    auto sink = std::make_unique<VideoSink>(path, temporary, overwrite);
    const std::vector<std::string> command =
        EncoderCommand(ffmpeg, path, layout, fps, EncoderFileName(temporary), sound.soundtrack != nullptr, encoding);
    if (!sink->Start(command, sound, error)) {
        std::remove(temporary.c_str());
        return nullptr;
    }
    return sink;
}
