#include "platform/process.h"

#include <io.h>

#include <cstdio>

#include "platform/platform.h"

long ProcessId() { return long(GetCurrentProcessId()); }

double ProcessorSeconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    auto seconds = [](const FILETIME& time) {
        return double((std::uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;  // 100 ns units
    };
    return seconds(kernel) + seconds(user);
}

// The command line's program is already the module's own file (GetModuleFileNameW), whatever
// the command typed to start it.
std::string RunningProgram(const std::string& argumentZero) { return argumentZero; }

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }
