// What the command line asks of a run, as far as the player is concerned.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct PlaySettings {
    std::string timelinePath;           // the timeline's file, watched while playing; empty: the archive's
    int fps = 60;                       // the fixed step's rate
    std::int32_t startMs = 0;           // the first moment shown
    std::optional<std::int32_t> endMs;  // the last moment shown; absent = the timeline's end
    int frameWidth = 0, frameHeight = 0;  // a capture's frame size; 0 = the render's
    int passes = 1;                     // the piece this many times, each a fresh start
    bool loop = false;                  // passes without end, in a window
    bool benchmark = false;             // time the frames and print the figures
    bool quiet = false;                 // no progress line, no replay report
    bool mute = false;                  // no sound
};
