// The closing line's account of a finished video: its size and its length, as people say them.
#pragma once

#include <cstdint>
#include <string>

// "231 MB, 4:15": megabytes of a million bytes (one decimal under 10 MB, kilobytes under 1 MB),
// and the length of 'frames' at fps as minutes:seconds, with tenths when it is not whole seconds.
std::string VideoSummary(std::uintmax_t bytes, std::int64_t frames, int fps);
