// Finding a program the way the system's shell would.
#pragma once

#include <string>

// The first executable file of that name in a PATH-style list of folders; empty when none is.
// Windows looks in the running program's own folder first, as it does when it starts a program
// (an ffmpeg.exe unzipped beside tarnelvois.exe is found).
std::string FindOnPath(const std::string& program, const std::string& searchPath);
