// What the program says to someone trying it for the first time: a display that is gone, a run
// that writes nothing, a mistyped option, a picture named as the archive names it, and versions.
#include <gtest/gtest.h>

#include "tests/support/test_files.h"

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

TEST(Display, AStaleDisplayIsRefusedNotPlayedUnseen)
{
    // As after an SSH session outlives its X server: no server answers on this display.
    std::string output;
    EXPECT_EQ(RunCommand("env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY DISPLAY=:4711 timeout 60 " +
                             std::string(TARNELVOIS_BINARY) + " --data " + TARNELVOIS_ARCHIVE + " --end 100",
                         &output),
              1)
        << output;
    EXPECT_NE(output.find("tarnelvois: cannot open display :4711"), std::string::npos) << output;
    // With a capture, a display that cannot be reached is no reason to stop: it runs headless.
    EXPECT_EQ(RunCommand("env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY DISPLAY=:4711 timeout 60 " +
                             std::string(TARNELVOIS_BINARY) + " --data " + TARNELVOIS_ARCHIVE +
                             " --headless --quiet --size 32x24 --end 100 --capture " + TemporaryFolder("stale") + "/f",
                         &output),
              0)
        << output;
}

TEST(Messages, OneLinePerMistakeAndASayWhenNothingIsWritten)
{
    std::string output;
    EXPECT_EQ(RunProgram("--frobnicate", &output), 2);
    EXPECT_EQ(Lines(output), std::vector<std::string>{"tarnelvois: unknown option '--frobnicate' (see --help)"});
    EXPECT_EQ(RunProgram("--start 90x", &output), 2);
    ASSERT_EQ(Lines(output).size(), 1u) << output;
    EXPECT_NE(output.find("milliseconds"), std::string::npos) << output;

    // A run that renders unseen and keeps nothing says so, once.
    EXPECT_EQ(RunProgram("--headless --size 32x24 --start 1000 --end 1100", &output), 0);
    EXPECT_EQ(Lines(output), std::vector<std::string>{"tarnelvois: warning: --headless without --capture or "
                                                      "--benchmark writes nothing; the demo is only rendered unseen"});
    // Times in seconds or minutes reach the same frames as milliseconds.
    const std::string folder = TemporaryFolder("times");
    ASSERT_EQ(RunProgram("--headless --quiet --size 32x24 --fps 10 --start 0:01 --end 1.1s --capture " + folder), 0);
    EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"frame-000010.png", "frame-000011.png", "soundtrack.wav"}));
}

TEST(Messages, VersionNamesTheLibrariesBuiltAndRunWith)
{
    std::string output;
    ASSERT_EQ(RunCommand(std::string(TARNELVOIS_BINARY) + " --version 2>&1", &output), 0);
    const std::vector<std::string> lines = Lines(output);
    ASSERT_EQ(lines.size(), 4u) << output;
    EXPECT_NE(lines[0].find(" 1."), std::string::npos) << output;
    EXPECT_EQ(lines[1].rfind("SDL 2.", 0), 0u) << output;
    EXPECT_NE(lines[1].find("(built with 2."), std::string::npos) << output;
    EXPECT_EQ(lines[2].rfind("libzip 1.", 0), 0u) << output;
    EXPECT_NE(lines[2].find("(built with 1."), std::string::npos) << output;
    EXPECT_EQ(lines[3], "STK 4.6.2") << output;
}

}  // namespace
