// Reading a timeline from a file of the user's, at start-up or again when it changes under the
// player. Knows nothing of windows or GL.
#pragma once

#include <string>
#include <vector>

#include "host/timeline.h"

// Reads, parses and checks the file against the registered effect names. On failure returns false
// with error set to one line ("FILE:LINE: what is wrong", or what kept the file from being read)
// and leaves timeline as it was.
bool LoadTimelineFile(const std::string& path, const std::vector<std::string>& registered, Timeline& timeline,
                      std::string& error);
