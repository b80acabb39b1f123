#include "platform/encoder_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/interrupt.h"

extern char** environ;

std::string EncoderInputName(int input) { return "pipe:" + std::to_string(input == 0 ? 0 : input + 2); }

namespace {

constexpr int kPipeBytes = 1 << 20;
constexpr auto kWaitStep = std::chrono::milliseconds(10);

std::string LastLine(void* logFile)
{
    std::FILE* log = static_cast<std::FILE*>(logFile);
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

}  // namespace

EncoderProcess::~EncoderProcess()
{
    if (process_ > 0) Kill();
    CloseInputs();
    if (log_) std::fclose(static_cast<std::FILE*>(log_));
}

int EncoderProcess::ProcessGroup() const { return int(process_); }

bool EncoderProcess::Start(const std::vector<std::string>& arguments, int inputs, std::string& error)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    std::vector<int> readEnds;
    for (int i = 0; i < inputs; ++i) {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) {
            error = std::string("cannot start ") + arguments[0] + ": " + std::strerror(errno);
            break;
        }
        fcntl(ends[1], F_SETPIPE_SZ, kPipeBytes);  // fewer wake-ups; a smaller pipe still works
        readEnds.push_back(ends[0]);
        inputs_.push_back(ends[1]);
        posix_spawn_file_actions_adddup2(&actions, ends[0], i == 0 ? 0 : 2 + i);
    }
    std::FILE* log = std::tmpfile();
    log_ = log;
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (log) posix_spawn_file_actions_adddup2(&actions, fileno(log), 2);
    else posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // What this program catches or ignores for itself is the default again in the encoder; SIGCHLD
    // too, which a parent may have left ignored.
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signal : {SIGPIPE, SIGINT, SIGTERM, SIGCHLD}) sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

    // The encoder must be reaped here: with SIGCHLD ignored the kernel would reap it unseen and its
    // exit status would be lost.
    signal(SIGCHLD, SIG_DFL);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = -1;
    const int failure = error.empty() ? posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), environ) : 0;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    for (const int end : readEnds) close(end);
    if (!error.empty() || failure != 0) {
        if (error.empty()) error = "cannot start " + arguments[0] + ": " + std::strerror(failure);
        CloseInputs();
        return false;
    }
    process_ = child;
    return true;
}

bool EncoderProcess::Write(int input, const std::uint8_t* bytes, std::size_t size)
{
    const int descriptor = int(inputs_[size_t(input)]);
    while (size > 0) {
        const ssize_t written = write(descriptor, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= size_t(written);
    }
    return true;
}

int EncoderProcess::ReleaseInput(int input)
{
    const int descriptor = int(inputs_[size_t(input)]);
    inputs_[size_t(input)] = -1;
    return descriptor;
}

void EncoderProcess::CloseInputs()
{
    for (std::intptr_t& descriptor : inputs_)
        if (descriptor >= 0) close(int(descriptor)), descriptor = -1;
}

EncoderProcess::Ending EncoderProcess::Wait(std::string& failure)
{
    CloseInputs();
    int status = 0;
    for (;;) {
        const pid_t ended = waitpid(pid_t(process_), &status, WNOHANG);
        if (ended == process_) break;
        if (ended < 0 && errno != EINTR) {
            // Reaped behind this program's back: how the encoder ended is unknown, so not a success.
            failure = std::string("could not be waited for (") + std::strerror(errno) + ")";
            process_ = -1;
            return Ending::Failed;
        }
        if (InterruptSignal()) {
            Kill();
            return Ending::Interrupted;
        }
        std::this_thread::sleep_for(kWaitStep);
    }
    process_ = -1;
    const std::string said = LastLine(log_);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        if (said.empty()) return Ending::Finished;
        failure = "reported an error (" + said + ")";
        return Ending::Failed;
    }
    failure = WIFSIGNALED(status) ? "was killed by signal " + std::to_string(WTERMSIG(status))
                                  : "exited with status " + std::to_string(WEXITSTATUS(status));
    if (!said.empty()) failure += " (" + said + ")";
    return Ending::Failed;
}

void EncoderProcess::Kill()
{
    if (process_ <= 0) return;
    // The group, not the pid: a wrapper script's children hold the pipes open too.
    kill(-pid_t(process_), SIGKILL);
    while (waitpid(pid_t(process_), nullptr, 0) < 0 && errno == EINTR) {
    }
    process_ = -1;
}
