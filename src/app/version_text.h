// What --version prints: the program's version and, for a bug report, the versions of the libraries
// it was compiled against and of those it runs with (a packaged program may meet newer ones).
#pragma once

#include <string>

std::string VersionText(const std::string& programName);
