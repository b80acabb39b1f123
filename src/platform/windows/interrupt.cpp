// Windows has no SIGHUP and delivers Ctrl+C, Ctrl+Break and a closed console to a handler
// thread of its own; they are answered with the numbers the same events have on Linux, so the
// exit status (128 + the number) is the same on both.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/interrupt.h"
#include "platform/platform.h"

namespace {

constexpr int kHangUp = 1;  // SIGHUP's number, for a closed console window
volatile std::sig_atomic_t received = 0;
volatile std::sig_atomic_t finishing = 0;  // the output is being given its name: too late to stop

struct Cleanup {
    volatile bool armed = false;
    int processId = 0;
    char temporaryPath[4096] = {};
};
Cleanup cleanups[2];

void RunCleanups()
{
    for (Cleanup& cleanup : cleanups) {
        if (!cleanup.armed) continue;
        cleanup.armed = false;
        if (cleanup.processId > 0) {
            if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, DWORD(cleanup.processId))) {
                TerminateProcess(process, 1);
                WaitForSingleObject(process, 2000);  // its file is open until it has gone
                CloseHandle(process);
            }
        }
        if (cleanup.temporaryPath[0]) DeleteFileA(cleanup.temporaryPath);
    }
}

extern "C" void OnSignal(int signal)
{
    // The C library resets the handler before calling it; a second signal then ends the program.
    if (!received) received = signal;
}

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    if (finishing) return TRUE;
    // An event the program has not yet answered ends it at once, as a second Ctrl+C does on Linux,
    // after the clean-up.
    if (received) {
        RunCleanups();
        return FALSE;
    }
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        received = SIGINT;
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // The process ends when this handler returns; the few seconds Windows grants are spent
        // letting the run loop stop the encoder and remove the unfinished file.
        received = event == CTRL_CLOSE_EVENT ? kHangUp : SIGTERM;
        Sleep(4000);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void CatchInterrupts()
{
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    finishing = 0;
    static bool exitHookInstalled = false;
    if (!exitHookInstalled) exitHookInstalled = std::atexit(RunCleanups) == 0;
}

int InterruptSignal() { return received; }

void ArmEmergencyCleanup(CleanupSlot slot, int processId, const char* path)
{
    Cleanup& cleanup = cleanups[int(slot)];
    cleanup.armed = false;
    cleanup.processId = processId;
    cleanup.temporaryPath[0] = '\0';
    if (path && std::strlen(path) < sizeof cleanup.temporaryPath) std::strcpy(cleanup.temporaryPath, path);
    cleanup.armed = true;
}

void DisarmEmergencyCleanup(CleanupSlot slot) { cleanups[int(slot)].armed = false; }

bool StopAnsweringInterrupts()
{
    finishing = 1;
    if (received) {
        finishing = 0;
        return false;
    }
    return true;
}
