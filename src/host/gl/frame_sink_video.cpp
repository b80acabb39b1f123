// Video capture: raw RGB frames piped into ffmpeg, which encodes and muxes them into a temporary
// file beside the final one; a rename makes the video appear only when it is complete.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "host/gl/frame_sink.h"
#include "host/soundtrack_feed.h"
#include "host/video_command.h"

extern char** environ;

namespace {

// Frames waiting for the encoder. Enough to ride out an encoder's uneven pace (a key frame, the
// look-ahead filling up) without holding more than a few frames of memory.
constexpr size_t kQueuedFrames = 4;
constexpr int kPipeBytes = 1 << 20;

std::string LastLine(std::FILE* log)
{
    if (!log) return "";
    std::fflush(log);
    std::rewind(log);
    std::string last;
    char line[512];
    while (std::fgets(line, sizeof line, log)) {
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        if (!text.empty()) last = text;
    }
    return last;
}

class VideoSink : public FrameSink {
public:
    VideoSink(std::string path, std::string temporary) : path_(std::move(path)), temporary_(std::move(temporary)) {}
    ~VideoSink() override { Abandon(); }

    bool Start(const std::vector<std::string>& arguments, const CaptureSound& sound, std::string& error);
    bool Write(std::int64_t frameIndex, const std::vector<std::uint8_t>& rgb, int width, int height,
               std::string& error) override;
    bool Finish(std::string& error) override;
    void Abandon() override;

private:
    void Feed();
    // Closes ffmpeg's input and waits for it; the exit status as waitpid gives it.
    int Reap();
    std::string EncoderFailure(int status);

    std::string path_, temporary_;
    pid_t encoder_ = -1;
    int input_ = -1;
    std::FILE* log_ = nullptr;
    std::thread feeder_;
    std::unique_ptr<SoundtrackFeed> sound_;  // ffmpeg's second input, when the video has sound

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<std::uint8_t>> queue_;
    std::vector<std::vector<std::uint8_t>> spare_;
    bool closing_ = false;
    bool broken_ = false;  // ffmpeg stopped taking frames
    bool soundCut_ = false;  // ffmpeg did not take all the sound
    bool done_ = false;
};

bool VideoSink::Start(const std::vector<std::string>& arguments, const CaptureSound& sound, std::string& error)
{
    int pipeEnds[2], soundEnds[2] = {-1, -1};
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        error = std::string("cannot start ffmpeg: ") + std::strerror(errno);
        return false;
    }
    if (sound.soundtrack && pipe2(soundEnds, O_CLOEXEC) != 0) {
        error = std::string("cannot start ffmpeg: ") + std::strerror(errno);
        close(pipeEnds[0]), close(pipeEnds[1]);
        return false;
    }
    fcntl(pipeEnds[1], F_SETPIPE_SZ, kPipeBytes);  // fewer wake-ups; a smaller pipe still works
    log_ = std::tmpfile();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (log_) posix_spawn_file_actions_adddup2(&actions, fileno(log_), 2);
    if (sound.soundtrack) posix_spawn_file_actions_adddup2(&actions, soundEnds[0], kSoundInputDescriptor);
    // Its own process group: a Ctrl+C at the terminal reaches only this program, which then stops
    // ffmpeg itself and removes the unfinished file.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int failure = posix_spawn(&encoder_, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(pipeEnds[0]);
    if (sound.soundtrack) close(soundEnds[0]);
    if (failure != 0) {
        close(pipeEnds[1]);
        if (sound.soundtrack) close(soundEnds[1]);
        encoder_ = -1;
        error = "cannot start " + arguments[0] + ": " + std::strerror(failure);
        return false;
    }
    input_ = pipeEnds[1];
    if (sound.soundtrack)
        sound_ = SoundtrackFeed::ToDescriptor(*sound.soundtrack, sound.span, soundEnds[1]);
    feeder_ = std::thread(&VideoSink::Feed, this);
    return true;
}

void VideoSink::Feed()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return !queue_.empty() || closing_; });
        if (queue_.empty()) return;
        std::vector<std::uint8_t> frame = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        const std::uint8_t* bytes = frame.data();
        size_t left = frame.size();
        bool failed = false;
        while (left > 0 && !failed) {
            const ssize_t written = write(input_, bytes, left);
            if (written < 0 && errno == EINTR) continue;
            failed = written <= 0;
            if (!failed) bytes += written, left -= size_t(written);
        }
        lock.lock();
        spare_.push_back(std::move(frame));
        if (failed) {
            broken_ = true;
            queue_.clear();
            changed_.notify_all();
            return;
        }
        changed_.notify_all();
    }
}

bool VideoSink::Write(std::int64_t, const std::vector<std::uint8_t>& rgb, int, int, std::string& error)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return queue_.size() < kQueuedFrames || broken_; });
    if (broken_) {
        lock.unlock();
        error = EncoderFailure(Reap());
        return false;
    }
    std::vector<std::uint8_t> frame;
    if (!spare_.empty()) {
        frame = std::move(spare_.back());
        spare_.pop_back();
    }
    frame.assign(rgb.begin(), rgb.end());
    queue_.push_back(std::move(frame));
    changed_.notify_all();
    return true;
}

int VideoSink::Reap()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    if (feeder_.joinable()) feeder_.join();
    if (input_ >= 0) close(input_), input_ = -1;
    int status = 0;
    if (encoder_ > 0) {
        while (waitpid(encoder_, &status, 0) < 0 && errno == EINTR) {
        }
        encoder_ = -1;
    }
    // ffmpeg has read the sound to its end, or is gone and the feed's writes fail: it ends either way.
    std::string ignored;  // ffmpeg's own complaint says more
    if (sound_ && !sound_->Finish(ignored)) soundCut_ = true;
    return status;
}

std::string VideoSink::EncoderFailure(int status)
{
    std::string how = WIFSIGNALED(status) ? "was killed by signal " + std::to_string(WTERMSIG(status))
                                          : "exited with status " + std::to_string(WEXITSTATUS(status));
    const std::string said = LastLine(log_);
    return "the video encoder (ffmpeg) " + how + (said.empty() ? "" : " (" + said + ")") + "; " + path_ +
           " was not written";
}

bool VideoSink::Finish(std::string& error)
{
    const int status = Reap();
    done_ = true;
    const bool encoded = !broken_ && !soundCut_ && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!encoded) {
        error = EncoderFailure(status);
    } else if (std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        error = "cannot write " + path_ + ": " + std::strerror(errno);
    }
    if (!error.empty()) std::remove(temporary_.c_str());
    if (log_) std::fclose(log_), log_ = nullptr;
    return error.empty();
}

void VideoSink::Abandon()
{
    if (done_) return;
    done_ = true;
    // The file is thrown away, so ffmpeg need not finish it; killing it also frees a feeder
    // blocked on a full pipe.
    if (encoder_ > 0) kill(encoder_, SIGKILL);
    Reap();
    std::remove(temporary_.c_str());
    if (log_) std::fclose(log_), log_ = nullptr;
}

}  // namespace

std::unique_ptr<FrameSink> MakeVideoSink(const std::string& path, int width, int height, int fps, std::string& error,
                                         const CaptureSound& sound)
{
    const char* searchPath = std::getenv("PATH");
    const std::string ffmpeg = FindOnPath("ffmpeg", searchPath ? searchPath : "");
    if (ffmpeg.empty()) {
        error = "--capture " + path + ": ffmpeg is not on PATH; install it, or capture PNG frames into a folder";
        return nullptr;
    }
    // The temporary name keeps the folder (a rename never crosses file systems) and the process id
    // (two captures to one name do not share it).
    const std::string temporary = path + "." + std::to_string(getpid()) + ".part";
    const int probe = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (probe < 0) {
        error = "--capture: cannot write " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    close(probe);
    // A write to a dead ffmpeg must come back as an error, not end this program without a word.
    signal(SIGPIPE, SIG_IGN);
    auto sink = std::make_unique<VideoSink>(path, temporary);
    if (!sink->Start(EncoderCommand(ffmpeg, path, width, height, fps, temporary, sound.soundtrack != nullptr), sound,
                     error)) {
        std::remove(temporary.c_str());
        return nullptr;
    }
    return sink;
}
