// Video capture on Windows: raw RGB frames piped into ffmpeg.exe, started with CreateProcess, with
// the Linux sink's contract: a temporary file beside the final one, renamed only when ffmpeg has
// finished it; an encoder that fails is reported with its last line of complaint; an abandoned
// capture leaves nothing behind.
#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

#include "capture/frame_sink.h"
#include "platform/platform.h"
#include "capture/video_command.h"
#include "platform/windows/arguments.h"

namespace {

constexpr size_t kQueuedFrames = 4;  // as on Linux: rides out the encoder's uneven pace
constexpr DWORD kPipeBytes = 1 << 20;

std::string SystemMessage(DWORD code)
{
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = text ? text : "error " + std::to_string(code);
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message;
}

class VideoSink : public FrameSink {
public:
    VideoSink(std::string path, std::string temporary) : path_(std::move(path)), temporary_(std::move(temporary)) {}
    ~VideoSink() override { Abandon(); }

    bool Start(const std::vector<std::string>& arguments, std::string& error);
    bool Write(std::int64_t frameIndex, const std::vector<std::uint8_t>& rgb, int width, int height,
               std::string& error) override;
    bool Finish(std::string& error) override;
    void Abandon() override;

private:
    void Feed();
    DWORD Reap();  // closes ffmpeg's input, waits for it and gives its exit code
    std::string LastLogLine();
    std::string EncoderFailure(DWORD status);

    std::string path_, temporary_;
    HANDLE encoder_ = nullptr;
    HANDLE input_ = nullptr;
    HANDLE log_ = INVALID_HANDLE_VALUE;  // ffmpeg's stderr, a temporary file deleted on close
    std::thread feeder_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<std::uint8_t>> queue_;
    std::vector<std::vector<std::uint8_t>> spare_;
    bool closing_ = false;
    bool broken_ = false;
    bool done_ = false;
};

HANDLE OpenLog()
{
    char folder[MAX_PATH + 1], name[MAX_PATH + 1];
    if (!GetTempPathA(sizeof folder, folder) || !GetTempFileNameA(folder, "tnv", 0, name)) return INVALID_HANDLE_VALUE;
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

bool VideoSink::Start(const std::vector<std::string>& arguments, std::string& error)
{
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherited, kPipeBytes)) {
        error = "cannot start ffmpeg: " + SystemMessage(GetLastError());
        return false;
    }
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);  // ffmpeg must see its input end
    log_ = OpenLog();
    HANDLE nothing = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0,
                                 nullptr);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = readEnd;
    startup.hStdOutput = nothing;
    startup.hStdError = log_ != INVALID_HANDLE_VALUE ? log_ : nothing;
    PROCESS_INFORMATION process{};
    std::string commandLine = JoinWindowsArguments(arguments);
    // A process group of its own keeps Ctrl+C at the console from reaching ffmpeg: this program
    // stops it and removes the unfinished file. No console window of its own either.
    const BOOL started = CreateProcessA(arguments[0].c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NEW_PROCESS_GROUP | CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    const DWORD failure = GetLastError();
    CloseHandle(readEnd);
    if (nothing != INVALID_HANDLE_VALUE) CloseHandle(nothing);
    if (!started) {
        CloseHandle(writeEnd);
        error = "cannot start " + arguments[0] + ": " + SystemMessage(failure);
        return false;
    }
    CloseHandle(process.hThread);
    encoder_ = process.hProcess;
    input_ = writeEnd;
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
            DWORD written = 0;
            const DWORD chunk = DWORD(std::min<size_t>(left, 1 << 30));
            failed = !WriteFile(input_, bytes, chunk, &written, nullptr) || written == 0;
            bytes += written, left -= written;
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

DWORD VideoSink::Reap()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    if (feeder_.joinable()) feeder_.join();
    if (input_) CloseHandle(input_), input_ = nullptr;
    DWORD status = 0;
    if (encoder_) {
        WaitForSingleObject(encoder_, INFINITE);
        if (!GetExitCodeProcess(encoder_, &status)) status = DWORD(-1);
        CloseHandle(encoder_);
        encoder_ = nullptr;
    }
    return status;
}

std::string VideoSink::LastLogLine()
{
    if (log_ == INVALID_HANDLE_VALUE) return "";
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    SetFilePointer(log_, 0, nullptr, FILE_BEGIN);
    while (ReadFile(log_, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    std::string last;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(begin, end - begin);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!line.empty()) last = line;
        begin = end + 1;
    }
    return last;
}

std::string VideoSink::EncoderFailure(DWORD status)
{
    // Exit codes from 0xC0000000 up are the system's report of a crash (an access violation...).
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(status));
    const std::string how = status >= 0xC0000000u ? "crashed (" + std::string(code) + ")"
                                                  : "exited with status " + std::to_string(status);
    const std::string said = LastLogLine();
    return "the video encoder (ffmpeg) " + how + (said.empty() ? "" : " (" + said + ")") + "; " + path_ +
           " was not written";
}

bool VideoSink::Finish(std::string& error)
{
    const DWORD status = Reap();
    done_ = true;
    if (broken_ || status != 0) {
        error = EncoderFailure(status);
    } else if (!MoveFileExA(temporary_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        error = "cannot write " + path_ + ": " + SystemMessage(GetLastError());
    }
    if (!error.empty()) DeleteFileA(temporary_.c_str());
    if (log_ != INVALID_HANDLE_VALUE) CloseHandle(log_), log_ = INVALID_HANDLE_VALUE;
    return error.empty();
}

void VideoSink::Abandon()
{
    if (done_) return;
    done_ = true;
    // The file is thrown away, so ffmpeg need not finish it; ending it also frees a feeder
    // blocked on a full pipe.
    if (encoder_) TerminateProcess(encoder_, 1);
    Reap();
    DeleteFileA(temporary_.c_str());
    if (log_ != INVALID_HANDLE_VALUE) CloseHandle(log_), log_ = INVALID_HANDLE_VALUE;
}

}  // namespace

std::unique_ptr<FrameSink> MakeVideoSink(const std::string& path, int width, int height, int fps, std::string& error)
{
    const char* searchPath = std::getenv("PATH");
    const std::string ffmpeg = FindOnPath("ffmpeg", searchPath ? searchPath : "");
    if (ffmpeg.empty()) {
        error = "--capture " + path + ": ffmpeg.exe is not on PATH; install it, or capture PNG frames into a folder";
        return nullptr;
    }
    const std::string temporary = path + "." + std::to_string(GetCurrentProcessId()) + ".part";
    HANDLE probe = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        error = "--capture: cannot write " + path + ": " + SystemMessage(GetLastError());
        return nullptr;
    }
    CloseHandle(probe);
    auto sink = std::make_unique<VideoSink>(path, temporary);
    if (!sink->Start(EncoderCommand(ffmpeg, path, width, height, fps, temporary), error)) {
        DeleteFileA(temporary.c_str());
        return nullptr;
    }
    return sink;
}
