// The player's command line: one table of options serves both the parser and the --help text.
#include "app/options.h"

#include "app/time_text.h"
#include "host/timeline.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

struct OptionInfo {
    const char* name;
    const char* value;  // null for a switch
    const char* help;
};

constexpr OptionInfo kOptions[] = {
    {"--help", nullptr, "show this text and exit"},
    {"--version", nullptr, "show the version and exit"},
    {"--data", "PATH", "the data archive (default: demodat.zip here, beside the program, in ../share/tarnelvois from it, then in the prefix's share/tarnelvois)"},
    {"--timeline", "FILE", "play this timeline file instead of the one in the archive"},
    {"--size", "WxH", "render size, each side 16 to 8192 (default: 1024x768); the piece is drawn for 4:3, "
                      "another shape stretches its overlays"},
    {"--frame", "WxH", "size of captured frames (default: the --size); the picture is centred in it, scaled to the "
                       "largest size that fits with its aspect kept (not at all when one side matches), black bars "
                       "around it"},
    {"--fullscreen", nullptr, "start in full screen"},
    {"--headless", nullptr, "render without a window, as fast as possible (for --capture)"},
    {"--fps", "N", "frames per second of headless and captured runs, 1 to 1000 (default: 60)"},
    {"--start", "TIME", "start at this demo time: milliseconds (90000), seconds (90s) or minutes:seconds (1:30)"},
    {"--end", "TIME", "stop at this demo time, written as for --start (default: the timeline's end)"},
    {"--seed", "N", "seed of the random generator, 0 to 4294967295"},
    {"--no-extensions", nullptr, "act as if no optional GL extension were present"},
    {"--no-vsync", nullptr, "do not wait for the display's refresh"},
    {"--quiet", nullptr, "no progress line and no closing message; errors and warnings still print"},
    {"--benchmark", nullptr, "report frame timing at the end"},
    {"--loop", nullptr, "in a window, start the piece again each time it ends, until you quit"},
    {"--passes", "N", "play the piece N times over, each pass a fresh start, 1 to 10000"},
    {"--mute", nullptr, "no sound: neither in the window nor in a capture"},
    {"--capture", "DIR|FILE", "save frames as DIR/frame-NNNNNN.png, or as a FILE.mp4/.mkv/.mov/.webm video"},
    {"--overwrite", nullptr, "let --capture replace an existing video, or the frames already in DIR"},
    {"--quality", "NAME", "a video's quality: share (the default: small, High profile) or master (four times the "
                          "size, the fastest encode); see below"},
    {"--crf", "N", "a video's constant quality instead, 1 (best, largest) to 51 (smallest); 18 to 23 is usual"},
    {"--bitrate", "RATE", "a video's average rate instead, 100k to 100M (such as 6M or 2500k)"},
};

const OptionInfo* FindOption(const std::string& name) {
    for (const OptionInfo& option : kOptions) {
        if (name == option.name) return &option;
    }
    return nullptr;
}

// Digits only, no sign or trailing text, and no wrap-around on long input.
bool ParseWhole(const std::string& text, std::uint64_t min, std::uint64_t max, std::uint64_t& value) {
    if (text.empty()) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > max) return false;
    }
    return value >= min;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

std::string WholeNumberError(const std::string& name, std::uint64_t min, std::uint64_t max, const std::string& value) {
    return name + ": expected a whole number from " + std::to_string(min) + " to " + std::to_string(max) +
           ", got " + Quoted(value);
}

constexpr int kMinSide = 16;
constexpr int kMaxSide = 8192;

bool ParseSize(const std::string& value, int& width, int& height) {
    const std::size_t cross = value.find('x');
    if (cross == std::string::npos) return false;
    std::uint64_t w = 0, h = 0;
    if (!ParseWhole(value.substr(0, cross), kMinSide, kMaxSide, w) ||
        !ParseWhole(value.substr(cross + 1), kMinSide, kMaxSide, h)) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

// "6M", "7.5M" or "2500k" as kilobits a second; false for anything else or outside the limits.
bool ParseBitrate(const std::string& text, int& kbps) {
    if (text.size() < 2 || (text.back() != 'k' && text.back() != 'M')) return false;
    const std::string number = text.substr(0, text.size() - 1);
    const std::size_t point = number.find('.');
    std::uint64_t whole = 0, tenths = 0;
    if (!ParseWhole(number.substr(0, point), 0, kMaxBitrateKbps, whole)) return false;
    if (point != std::string::npos && (number.size() != point + 2 || !ParseWhole(number.substr(point + 1), 0, 9, tenths)))
        return false;
    const std::uint64_t unit = text.back() == 'M' ? 1000 : 1;
    if (point != std::string::npos && unit == 1) return false;  // no fractions of a kilobit
    const std::uint64_t value = whole * unit + tenths * unit / 10;
    if (value < kMinBitrateKbps || value > kMaxBitrateKbps) return false;
    kbps = static_cast<int>(value);
    return true;
}

// Applies one option that takes a value; the problem with the value, or empty.
std::string ApplyValue(const std::string& name, const std::string& value, Options& options) {
    std::uint64_t number = 0;
    auto whole = [&](std::uint64_t min, std::uint64_t max) {
        return ParseWhole(value, min, max, number) ? std::string() : WholeNumberError(name, min, max, value);
    };
    std::string problem;
    if (name == "--data") {
        options.dataPath = value;
    } else if (name == "--timeline") {
        options.timelinePath = value;
    } else if (name == "--capture") {
        options.capturePath = value;
    } else if (name == "--size" || name == "--frame") {
        int& width = name == "--size" ? options.width : options.frameWidth;
        int& height = name == "--size" ? options.height : options.frameHeight;
        if (!ParseSize(value, width, height)) {
            problem = name + ": expected WxH with each side from " + std::to_string(kMinSide) + " to " +
                      std::to_string(kMaxSide) + ", got " + Quoted(value);
        }
    } else if (name == "--fps") {
        if ((problem = whole(1, 1000)).empty()) options.fps = static_cast<int>(number);
    } else if (name == "--start" || name == "--end") {
        std::int32_t ms = 0;
        if (!ParseDemoTime(value, kMaxTimelineTime, ms)) {
            problem = name + ": expected a time in milliseconds (90000), seconds (90s) or minutes:seconds (1:30), "
                             "at most " + std::to_string(kMaxTimelineTime) + " ms; got " + Quoted(value);
        } else if (name == "--start") {
            options.startMs = ms;
        } else {
            options.endMs = ms;
        }
    } else if (name == "--quality") {
        if (!ParseVideoQuality(value, options.encoding.quality))
            problem = name + ": expected share or master, got " + Quoted(value);
    } else if (name == "--crf") {
        if ((problem = whole(kMinCrf, kMaxCrf)).empty()) options.encoding.crf = static_cast<int>(number);
    } else if (name == "--bitrate") {
        if (!ParseBitrate(value, options.encoding.bitrateKbps))
            problem = name + ": expected a rate from 100k to 100M such as 6M, 7.5M or 2500k, got " + Quoted(value);
    } else if (name == "--passes") {
        if ((problem = whole(1, 10000)).empty()) options.passes = static_cast<int>(number);
    } else if (name == "--seed") {
        if ((problem = whole(0, UINT32_MAX)).empty()) options.seed = static_cast<std::uint32_t>(number);
    }
    return problem;
}

void ApplySwitch(const std::string& name, Options& options) {
    const std::pair<const char*, bool*> switches[] = {
        {"--help", &options.help},         {"--version", &options.version},
        {"--fullscreen", &options.fullscreen}, {"--headless", &options.headless},
        {"--no-extensions", &options.noExtensions}, {"--no-vsync", &options.noVsync},
        {"--quiet", &options.quiet},       {"--benchmark", &options.benchmark},
        {"--overwrite", &options.overwrite}, {"--loop", &options.loop}, {"--mute", &options.mute},
    };
    for (const auto& [switchName, flag] : switches) {
        if (name == switchName) *flag = true;
    }
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& arguments, Options& options, std::string& error) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::size_t equals = argument.find('=');
        const std::string name = argument == "-h" ? "--help" : argument.substr(0, equals);
        const OptionInfo* option = name.rfind("--", 0) == 0 ? FindOption(name) : nullptr;
        if (option == nullptr) {
            error = (argument.rfind("-", 0) == 0 && argument.size() > 1 ? "unknown option " : "unexpected argument ") +
                    Quoted(argument) + " (see --help)";
            return false;
        }
        if (option->value == nullptr) {
            if (equals != std::string::npos) {
                error = name + ": takes no value, got " + Quoted(argument);
                return false;
            }
            ApplySwitch(name, options);
            continue;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size() && arguments[i + 1].rfind("--", 0) != 0) {
            value = arguments[++i];
        }
        if (value.empty()) {
            error = name + ": missing value " + option->value;
            return false;
        }
        if (std::string problem = ApplyValue(name, value, options); !problem.empty()) {
            error = problem;
            return false;
        }
        if ((name == "--quality" || name == "--crf" || name == "--bitrate") && options.encodingOption.empty())
            options.encodingOption = name;
    }
    if (options.encoding.crf > 0 && options.encoding.bitrateKbps > 0) {
        error = "--crf and --bitrate both set a video's size; give one of them";
        return false;
    }
    if (options.endMs && options.startMs > *options.endMs) {
        error = "--start " + std::to_string(options.startMs) + " ms is after --end " + std::to_string(*options.endMs) + " ms";
        return false;
    }
    return true;
}

std::string UsageText() {
    std::string text = "Usage: tarnelvois [options]\n\nOptions:\n";
    for (const OptionInfo& option : kOptions) {
        std::string left = std::string("  ") + option.name + (option.value ? std::string(" ") + option.value : "");
        left.resize(std::max<std::size_t>(left.size() + 2, 26), ' ');
        text += left + option.help + "\n";
    }
    text +=
        "\nKeys while playing:\n"
        "  Esc, Q                  quit\n"
        "  Space                   pause or resume\n"
        "  F, Alt+Enter            switch between window and full screen\n"
        "  F12                     save a screenshot as PNG\n"
        "  Right arrow, Left arrow 10 seconds ahead, 10 seconds back\n"
        "  Home                    back to the beginning\n"
        "  Tab                     show or hide the maker's overlay\n"
        "\nCapture (--capture, usually with --headless):\n"
        "  DIR                     one PNG per frame: DIR/frame-000000.png, frame-000001.png, ...,\n"
        "                          and the sound of the same span as DIR/soundtrack.wav\n"
        "  FILE.mp4                a video with its sound (also .mkv, .mov, .webm), encoded with ffmpeg\n"
        "  --quality share         H.264 High profile for mailing and uploading, the default: at\n"
        "                          1280x720 60 fps about 52 MB a minute of this piece (222 MB in all)\n"
        "  --quality master        H.264 Constrained Baseline, the finest picture: about 143 MB a\n"
        "                          minute (607 MB); both take about 275 CPU seconds for the piece\n"
        "  Either declares the H.264 level its frame size and rate need and stays within it over\n"
        "  every stretch; --crf N or --bitrate RATE replace the quality's own choice of size.\n"
        "  An existing FILE, or frames already in DIR, are replaced only with --overwrite.\n"
        "  Exit status: 0 complete (all of FILE, or every frame in DIR); 2 bad option; 1 refused\n"
        "  or failed; 128+N stopped by signal N (130 for Ctrl+C). Unless 0, nothing is under\n"
        "  FILE and no temporary file is left; DIR keeps the frames written, each complete.\n"
        "  A second Ctrl+C ends at once and still stops ffmpeg and removes the temporary file.\n";
    return text;
}
