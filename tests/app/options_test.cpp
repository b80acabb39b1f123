#include "app/options.h"

#include <gtest/gtest.h>

namespace {

std::string ErrorOf(const std::vector<std::string>& arguments) {
    Options options;
    std::string error;
    EXPECT_FALSE(ParseOptions(arguments, options, error));
    return error;
}

TEST(ParseOptions, TakesEveryOptionInBothForms) {
    Options options;
    std::string error;
    ASSERT_TRUE(ParseOptions({"--data", "/d/demodat.zip", "--timeline=t.txt", "--size", "1920x1080", "--frame=33x17",
                              "--fullscreen", "--headless", "--fps=30", "--start", "1000", "--end=2000",
                              "--seed", "4294967295", "--no-extensions", "--no-vsync", "--quiet", "--benchmark",
                              "--mute", "--capture=out/frames", "--help", "--version"},
                             options, error))
        << error;
    EXPECT_EQ(options.dataPath, "/d/demodat.zip");
    EXPECT_EQ(options.timelinePath, "t.txt");
    EXPECT_EQ(options.width, 1920);
    EXPECT_EQ(options.height, 1080);
    EXPECT_EQ(options.frameWidth, 33);
    EXPECT_EQ(options.frameHeight, 17);
    EXPECT_EQ(options.fps, 30);
    EXPECT_EQ(options.startMs, 1000);
    EXPECT_EQ(options.endMs, 2000);
    EXPECT_EQ(options.seed, 4294967295u);
    EXPECT_EQ(options.capturePath, "out/frames");
    EXPECT_TRUE(options.fullscreen && options.headless && options.noExtensions && options.noVsync &&
                options.quiet && options.benchmark && options.mute && options.help && options.version);

    // A value may itself contain '=' and the limits themselves are allowed.
    Options defaults;
    ASSERT_TRUE(ParseOptions({"--capture=a=b.mp4", "--size=16x8192", "--fps", "1000", "--seed=0",
                              "--start", "86400000", "--end", "86400000"}, defaults, error)) << error;
    EXPECT_EQ(defaults.capturePath, "a=b.mp4");
    EXPECT_EQ(defaults.height, 8192);
    EXPECT_EQ(defaults.seed, 0u);
}

TEST(ParseOptions, NamesTheOptionAndTheValueAtFault) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--fps", "0"}, "--fps: expected a whole number from 1 to 1000, got '0'"},
        {{"--fps=60fps"}, "--fps: expected a whole number from 1 to 1000, got '60fps'"},
        {{"--seed", "4294967296"}, "--seed: expected a whole number from 0 to 4294967295, got '4294967296'"},
        {{"--seed", "18446744073709551617"},
         "--seed: expected a whole number from 0 to 4294967295, got '18446744073709551617'"},
        {{"--start", "-1"},
         "--start: expected a time in milliseconds (90000), seconds (90s) or minutes:seconds (1:30), at most "
         "86400000 ms; got '-1'"},
        {{"--size", "abc"}, "--size: expected WxH with each side from 16 to 8192, got 'abc'"},
        {{"--size", "15x480"}, "--size: expected WxH with each side from 16 to 8192, got '15x480'"},
        {{"--size", "640x480x2"}, "--size: expected WxH with each side from 16 to 8192, got '640x480x2'"},
        {{"--frame", "1280x8193"}, "--frame: expected WxH with each side from 16 to 8192, got '1280x8193'"},
        {{"--start", "5000", "--end", "3000"}, "--start 5000 ms is after --end 3000 ms"},
        {{"--fps"}, "--fps: missing value N"},
        {{"--data="}, "--data: missing value PATH"},
        {{"--capture", "--headless"}, "--capture: missing value DIR|FILE"},
        {{"--headless=yes"}, "--headless: takes no value, got '--headless=yes'"},
        {{"--frobnicate"}, "unknown option '--frobnicate' (see --help)"},
        {{"-x"}, "unknown option '-x' (see --help)"},
        {{"--headless", "demodat.zip"}, "unexpected argument 'demodat.zip' (see --help)"},
    };
    for (const auto& [arguments, expected] : cases) EXPECT_EQ(ErrorOf(arguments), expected);
}

TEST(ParseOptions, TimesInMillisecondsSecondsOrMinutesAndSeconds) {
    const std::pair<const char*, std::int32_t> good[] = {
        {"90", 90},          {"90000ms", 90000}, {"90s", 90000},   {"1.5s", 1500},       {"0.25s", 250},
        {"1:30", 90000},     {"0:05", 5000},     {"4:15.5", 255500}, {"1440:00", 86400000}, {"86400s", 86400000},
    };
    for (const auto& [text, ms] : good) {
        Options options;
        std::string error;
        ASSERT_TRUE(ParseOptions({"--end", text}, options, error)) << text << ": " << error;
        EXPECT_EQ(options.endMs, ms) << text;
    }
    // A unit that is not ours, seconds past 59, a fraction below the millisecond, or past the limit.
    for (const char* bad : {"90m", "1:90", "1:5", "1:05:00", "1.2345s", "s", "1.s", ":30", "86400001", "1440:00.001", "1e3"}) {
        Options options;
        std::string error;
        EXPECT_FALSE(ParseOptions({"--start", bad}, options, error)) << bad;
        EXPECT_NE(error.find("milliseconds"), std::string::npos) << error;
    }
}

TEST(ParseOptions, VideoQualityByNameCrfOrRate) {
    Options options;
    std::string error;
    ASSERT_TRUE(ParseOptions({"--quality", "master", "--crf=18"}, options, error)) << error;
    EXPECT_EQ(options.encoding.quality, VideoQuality::Master);
    EXPECT_EQ(options.encoding.crf, 18);
    EXPECT_EQ(options.encodingOption, "--quality");  // named when no video capture follows
    EXPECT_EQ(Options().encoding.quality, VideoQuality::Share) << "the video people share is the default";

    const std::pair<const char*, int> rates[] = {{"6M", 6000}, {"7.5M", 7500}, {"2500k", 2500}, {"0.1M", 100},
                                                 {"100M", 100000}, {"100k", 100}};
    for (const auto& [text, kbps] : rates) {
        Options parsed;
        ASSERT_TRUE(ParseOptions({"--bitrate", text}, parsed, error)) << text << ": " << error;
        EXPECT_EQ(parsed.encoding.bitrateKbps, kbps) << text;
    }
    // A bare number is ambiguous (bits or kilobits?); fractions of a kilobit, other units and
    // rates outside the limits are refused.
    for (const char* bad : {"6000", "99k", "100.5M", "101M", "7.25M", "2.5k", "6m", "6Mb", "M", ".5M", "-6M"}) {
        EXPECT_EQ(ErrorOf({"--bitrate", bad}),
                  std::string("--bitrate: expected a rate from 100k to 100M such as 6M, 7.5M or 2500k, got '") + bad + "'");
    }
    EXPECT_EQ(ErrorOf({"--crf", "99"}), "--crf: expected a whole number from 1 to 51, got '99'");
    EXPECT_EQ(ErrorOf({"--crf", "0"}), "--crf: expected a whole number from 1 to 51, got '0'");
    EXPECT_EQ(ErrorOf({"--quality", "best"}), "--quality: expected share or master, got 'best'");
    EXPECT_EQ(ErrorOf({"--quality", "Share"}), "--quality: expected share or master, got 'Share'");
    EXPECT_EQ(ErrorOf({"--crf", "20", "--bitrate", "6M"}), "--crf and --bitrate both set a video's size; give one of them");
}

TEST(UsageText, ListsEveryOptionTheKeysAndTheCaptureForms) {
    const std::string usage = UsageText();
    for (const char* word : {"--help", "--version", "--data", "--timeline", "--size", "--frame", "--fullscreen", "--headless",
                             "--fps", "--start", "--end", "--seed", "--no-extensions", "--no-vsync", "--quiet",
                             "--benchmark", "--capture", "--quality", "share", "master", "--crf", "--bitrate", "Esc", "Space", "Alt+Enter", "F12", "Right arrow",
                             "frame-000000.png", ".mp4", ".mkv", ".mov", ".webm", "milliseconds", "1024x768"}) {
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    }
}

}  // namespace
