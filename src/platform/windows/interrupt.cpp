// Windows has no SIGHUP and delivers Ctrl+C, Ctrl+Break and a closed console to a handler
// thread of its own; they are answered with the numbers the same events have on Linux, so the
// exit status (128 + the number) is the same on both.
#include <csignal>

#include "platform/interrupt.h"
#include "platform/platform.h"

namespace {

constexpr int kHangUp = 1;  // SIGHUP's number, for a closed console window
volatile std::sig_atomic_t received = 0;

extern "C" void OnSignal(int signal)
{
    // The C library resets the handler before calling it; a second signal then ends the program.
    if (!received) received = signal;
}

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    // An event the program has not yet answered ends it at once, as a second Ctrl+C does on Linux.
    if (received) return FALSE;
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
}

int InterruptSignal() { return received; }
