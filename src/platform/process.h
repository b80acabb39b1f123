// Facts about this process that each system tells in its own way.
#pragma once

#include <string>

// The process's number, for names of temporary files no other process uses.
long ProcessId();
// Processor time of the whole process (every thread, the renderer's too), in seconds.
double ProcessorSeconds();
// The running program's file, symlinks resolved (a link in ~/bin to an installed program must not
// make the program look beside the link); argv[0] where the system cannot tell, and empty when that
// is a bare name found through PATH.
std::string RunningProgram(const std::string& argumentZero);
// True when standard error is a terminal (a progress line then redraws itself in place).
bool StandardErrorIsTerminal();
