// Facts about this process that each system tells in its own way.
#pragma once

// The process's number, for names of temporary files no other process uses.
long ProcessId();
// Processor time of the whole process (every thread, the renderer's too), in seconds.
double ProcessorSeconds();
// True when standard error is a terminal (a progress line then redraws itself in place).
bool StandardErrorIsTerminal();
