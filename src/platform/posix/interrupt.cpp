#include "platform/interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kCaught[] = {SIGINT, SIGTERM, SIGHUP};  // SIGHUP: a closed terminal

volatile sig_atomic_t received = 0;
// The handler and the program agree through these lock-free atomics only.
std::atomic<bool> finishing{false};
struct Cleanup {
    std::atomic<bool> armed{false};
    std::atomic<int> processGroup{0};
    char temporaryPath[PATH_MAX];
};
Cleanup cleanups[2];

void Say(const char* text) { (void)!write(STDERR_FILENO, text, std::strlen(text)); }

// Only async-signal-safe calls: this runs inside a signal handler and at exit.
void EmergencyCleanup()
{
    bool any = false;
    for (Cleanup& cleanup : cleanups) {
        if (!cleanup.armed.exchange(false)) continue;
        if (const int group = cleanup.processGroup.load(); group > 0) kill(-group, SIGKILL);
        if (cleanup.temporaryPath[0]) unlink(cleanup.temporaryPath);
        any = true;
    }
    if (any) Say("tarnelvois: capture cut off; the encoder was stopped and the unfinished file removed\n");
}

extern "C" void OnInterrupt(int signal)
{
    if (finishing.load()) return;
    if (received) {
        EmergencyCleanup();
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigaction(signal, &fallback, nullptr);
        raise(signal);
        return;
    }
    received = signal;
}

extern "C" void OnExit() { EmergencyCleanup(); }

}  // namespace

void CatchInterrupts()
{
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kCaught) {
        struct sigaction inherited {};
        sigaction(signal, nullptr, &inherited);
        if (inherited.sa_handler != SIG_IGN) sigaction(signal, &action, nullptr);
    }
    finishing = false;
    signal(SIGPIPE, SIG_IGN);
    static bool exitHookInstalled = false;
    if (!exitHookInstalled) exitHookInstalled = std::atexit(OnExit) == 0;
}

int InterruptSignal() { return received; }

void ArmEmergencyCleanup(CleanupSlot slot, int group, const char* path)
{
    Cleanup& cleanup = cleanups[int(slot)];
    cleanup.armed = false;
    cleanup.processGroup = group;
    cleanup.temporaryPath[0] = '\0';
    if (path && std::strlen(path) < sizeof cleanup.temporaryPath) std::strcpy(cleanup.temporaryPath, path);
    cleanup.armed = true;
}

void DisarmEmergencyCleanup(CleanupSlot slot) { cleanups[int(slot)].armed = false; }

bool StopAnsweringInterrupts()
{
    finishing = true;
    if (received) {
        finishing = false;
        return false;
    }
    return true;
}
