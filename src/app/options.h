// The command line of the player. Parsing knows nothing of windows or GL.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "capture/video_quality.h"

struct Options {
    bool help = false;
    bool version = false;
    std::string dataPath;        // --data PATH
    std::string timelinePath;    // --timeline FILE
    int width = 0, height = 0;   // --size WxH; 0 = the start-up record's preset
    int frameWidth = 0, frameHeight = 0;  // --frame WxH, the size a capture writes; 0 = the render's
    bool fullscreen = false;     // --fullscreen
    bool headless = false;       // --headless
    int fps = 60;                // --fps N (1..1000)
    std::int32_t startMs = 0;    // --start MS
    std::optional<std::int32_t> endMs;  // --end MS; absent = the timeline's end
    std::optional<std::uint32_t> seed;  // --seed N
    bool noExtensions = false;   // --no-extensions
    bool noVsync = false;        // --no-vsync
    bool quiet = false;          // --quiet
    bool benchmark = false;      // --benchmark
    bool loop = false;           // --loop: passes without end, in a window
    int passes = 1;              // --passes N: the piece N times, each a fresh start
    bool mute = false;           // --mute
    std::string capturePath;     // --capture DIR (PNG frames) or FILE.mp4/.mkv/.mov/.webm (video)
    bool overwrite = false;      // --overwrite: replace an existing video or a folder's frames
    VideoEncoding encoding;      // --quality NAME, --crf N, --bitrate RATE
    std::string encodingOption;  // the first of those given, for the check that a video is captured
};

// Parses argv[1..]. On failure returns false with error set to one line naming the option and
// what is wrong with its value ("--size: expected WxH, got 'abc'"). Both "--opt value" and
// "--opt=value" are accepted.
bool ParseOptions(const std::vector<std::string>& arguments, Options& options, std::string& error);

// The --help text.
std::string UsageText();
