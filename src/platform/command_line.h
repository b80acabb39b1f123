// The program's own path and its arguments, as the system hands them to the process behind the
// instance handle: argv on Linux, the wide command line on Windows, in the code page the C
// library opens files with.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

struct CommandLine {
    std::string executable;
    std::vector<std::string> arguments;  // after the program's name
};

CommandLine CommandLineOf(HINSTANCE instance);

// Windows starts a GUI program without a console: this lends it the console of whoever started it,
// if any, for messages and Ctrl+C. Elsewhere it does nothing.
void AttachParentConsole();
