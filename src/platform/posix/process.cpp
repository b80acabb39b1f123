#include "platform/process.h"

#include <unistd.h>

#include <ctime>

long ProcessId() { return long(getpid()); }

double ProcessorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }
