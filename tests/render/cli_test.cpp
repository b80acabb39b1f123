// The program as a user runs it: numbered frames, reproducible runs, help, and a real window.
#include <gtest/gtest.h>

#include "tests/support/test_files.h"

namespace {

TEST(Program, OneSeedGivesTheSameFramesAndStartMatchesAStraightRun)
{
    const std::string root = TemporaryFolder("reproducible");
    // Snow and stars both draw random particles around 62 s.
    const std::string common = "--headless --size 96x72 --fps 10 --seed 1234 --end 62000 ";
    ASSERT_EQ(RunProgram(common + "--start 61500 --capture " + root + "/a"), 0);
    ASSERT_EQ(RunProgram(common + "--start 61500 --capture " + root + "/b"), 0);
    ASSERT_EQ(RunProgram(common + "--start 61800 --capture " + root + "/c"), 0);
    for (const std::string& name : FilesIn(root + "/a"))
        EXPECT_EQ(ReadFileBytes(root + "/a/" + name), ReadFileBytes(root + "/b/" + name)) << name;
    // Frame k is at k * 100 ms here, so the late start's frames are 618 to 620.
    const std::vector<std::string> late = FilesIn(root + "/c");
    ASSERT_EQ(late, (std::vector<std::string>{"frame-000618.png", "frame-000619.png", "frame-000620.png",
                                              "soundtrack.wav"}));
    for (const std::string& name : late) {
        if (name == "soundtrack.wav") continue;
        EXPECT_EQ(ReadFileBytes(root + "/a/" + name), ReadFileBytes(root + "/c/" + name)) << name;
    }
    EXPECT_EQ(ReadPng(root + "/c/frame-000620.png").width, 96);
}

TEST(Program, HelpAndVersionSucceed)
{
    std::string output;
    EXPECT_EQ(RunProgram("--help", &output), 0);
    EXPECT_NE(output.find("--capture"), std::string::npos);
    EXPECT_EQ(RunProgram("--version"), 0);
}

TEST(Program, PlaysASecondInARealWindow)
{
    if (RunCommand("command -v xvfb-run") != 0) GTEST_SKIP() << "xvfb-run is not installed";
    std::string output;
    EXPECT_EQ(RunCommand("env -u SDL_VIDEODRIVER " + XvfbRun() + "timeout 60 " + std::string(TARNELVOIS_BINARY) + " --data " +
                             TARNELVOIS_ARCHIVE + " --size 160x120 --start 1000 --end 2000",
                         &output),
              0)
        << output;
}

}  // namespace
