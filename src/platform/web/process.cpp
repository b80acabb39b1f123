#include "platform/process.h"

// A page is no program file: its archive is found in the page's own folder, the working directory
// of emscripten's file system.
std::string RunningProgram(const std::string&) { return ""; }
