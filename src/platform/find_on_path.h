// Finding a program the way the system's shell would.
#pragma once

#include <string>

// The first executable file of that name in a PATH-style list of folders; empty when none is.
std::string FindOnPath(const std::string& program, const std::string& searchPath);
