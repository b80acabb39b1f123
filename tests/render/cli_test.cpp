// The program as a user runs it: captures, reproducibility, and what bad input gets back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/test_files.h"

namespace {

const std::string kProgram = std::string(TARNELVOIS_BINARY) + " --data " + TARNELVOIS_ARCHIVE;

int RunProgram(const std::string& arguments, std::string* output = nullptr)
{
    return RunCommand("SDL_VIDEODRIVER=offscreen " + kProgram + " " + arguments, output);
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Program, CaptureWritesOneNumberedPngPerFrame)
{
    const std::string folder = TemporaryFolder("capture") + "/frames";
    ASSERT_EQ(RunProgram("--headless --size 64x48 --start 1000 --end 1100 --capture " + folder), 0);
    // At 60 frames per second frame k has time k * 1000 / 60: frames 60 to 66 cover 1000..1100 ms.
    std::vector<std::string> expected;
    for (int frame = 60; frame <= 66; ++frame) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", frame);
        expected.push_back(name);
    }
    EXPECT_EQ(FilesIn(folder), expected);
    EXPECT_EQ(ReadPng(folder + "/frame-000060.png").width, 64);
}

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
    const std::vector<std::string> late = FilesIn(root + "/c");
    ASSERT_EQ(late.size(), 3u);
    for (const std::string& name : late)
        EXPECT_EQ(ReadFileBytes(root + "/a/" + name), ReadFileBytes(root + "/c/" + name)) << name;
}

TEST(Program, BadInputGetsOneLineAndAFailingStatus)
{
    struct Case {
        std::string arguments;
        int status;
        std::string message;
    };
    const std::string folder = TemporaryFolder("bad-input");
    const std::string badTimeline = folder + "/bad.txt";
    std::ofstream(badTimeline) << "0 start CONTROL 0\n10 strat NOTHING\n";
    const std::string unknownEffect = folder + "/unknown.txt";
    std::ofstream(unknownEffect) << "0 start CONTROL 0\n10 start NOBODY 3\n100 end\n";
    const std::vector<Case> cases = {
        {"--size 0x0", 2, "--size"},
        {"--fps 0", 2, "--fps"},
        {"--start 5000 --end 4000", 2, "--start"},
        {"--frobnicate", 2, "--frobnicate"},
        {"--headless --data /nonexistent/demodat.zip", 1, "/nonexistent/demodat.zip"},
        {"--headless --timeline " + badTimeline, 1, badTimeline + ":2:"},
        {"--headless --timeline " + unknownEffect, 1, "NOBODY"},
    };
    for (const Case& c : cases) {
        std::string output;
        EXPECT_EQ(RunCommand("SDL_VIDEODRIVER=offscreen " + std::string(TARNELVOIS_BINARY) + " " +
                                 (c.arguments.find("--data") == std::string::npos ? "--data " + std::string(TARNELVOIS_ARCHIVE) + " " : "") +
                                 c.arguments,
                             &output),
                  c.status)
            << c.arguments << "\n" << output;
        EXPECT_NE(output.find(c.message), std::string::npos) << c.arguments << "\n" << output;
    }
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
    const int status = RunCommand("env -u SDL_VIDEODRIVER xvfb-run -a " + kProgram + " --size 160x120 --start 1000 --end 2000",
                                  &output);
    EXPECT_EQ(status, 0) << output;
}

}  // namespace
