#include "platform/process.h"

#include <unistd.h>

#include <ctime>
#include <filesystem>

long ProcessId() { return long(getpid()); }

double ProcessorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}

std::string RunningProgram(const std::string& argumentZero)
{
    namespace fs = std::filesystem;
    std::error_code status;
    const fs::path self = fs::read_symlink("/proc/self/exe", status);
    if (!status) return self.string();
    // Without /proc, argv[0] is all there is; a bare name (found through PATH) says nothing.
    if (argumentZero.find('/') == std::string::npos) return {};
    const fs::path resolved = fs::weakly_canonical(argumentZero, status);
    return status ? argumentZero : resolved.string();
}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }
