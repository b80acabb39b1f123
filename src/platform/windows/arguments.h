// A Windows process receives one command-line string, which its C library splits back into
// arguments; this joins arguments so that they come back unchanged (blanks, quotes, backslashes).
#pragma once

#include <string>
#include <vector>

std::string JoinWindowsArguments(const std::vector<std::string>& arguments);
