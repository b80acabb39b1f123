// Video capture and the benchmark as a user runs them: the file ffprobe sees, what an interrupted
// or failed capture leaves behind, and the figures --benchmark prints.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/support/test_files.h"

namespace {

TEST(VideoCapture, FfprobeSeesEveryFrameAtTheRateAndSize)
{
    const std::string folder = TemporaryFolder("video");
    std::string output;
    // 1000..1500 ms at 60 frames per second: frames 60 to 90.
    ASSERT_EQ(RunProgram("--headless --size 161x121 --start 1000 --end 1500 --capture " + folder + "/demo.mp4", &output), 0)
        << output;
    // Its size and its length: 31 frames at 60 fps.
    EXPECT_NE(output.find("written " + folder + "/demo.mp4: "), std::string::npos) << output;
    EXPECT_NE(output.find(" kB, 0:00.5\n"), std::string::npos) << output;
    std::string probe;
    RunCommand("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
               "stream=codec_name,width,height,r_frame_rate,nb_read_frames,pix_fmt -of default=nw=1 " + folder + "/demo.mp4",
               &probe);
    EXPECT_NE(probe.find("codec_name=h264"), std::string::npos) << probe;
    // Odd sides cannot be 4:2:0; the video gets one black line more instead of failing.
    EXPECT_NE(probe.find("width=162\nheight=122"), std::string::npos) << probe;
    EXPECT_NE(probe.find("pix_fmt=yuv420p"), std::string::npos) << probe;
    EXPECT_NE(probe.find("r_frame_rate=60/1"), std::string::npos) << probe;
    EXPECT_NE(probe.find("nb_read_frames=31"), std::string::npos) << probe;
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"demo.mp4"}) << "no temporary file is left";
}

TEST(VideoCapture, AnInterruptedCaptureLeavesNoFile)
{
    const std::string folder = TemporaryFolder("interrupted");
    const std::string video = folder + "/demo.mp4";
    const pid_t child = fork();
    if (child == 0) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        signal(SIGINT, SIG_DFL);  // the program keeps an ignored SIGINT it inherits from a harness
        execl(TARNELVOIS_BINARY, TARNELVOIS_BINARY, "--data", TARNELVOIS_ARCHIVE, "--headless", "--quiet", "--size",
              "320x240", "--capture", video.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // Some frames into the run, so the encoder has its temporary file open.
    const auto started = std::chrono::steady_clock::now();
    while (FilesIn(folder).empty() && std::chrono::steady_clock::now() - started < std::chrono::seconds(20))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "the program handles the signal itself";
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGINT);
    EXPECT_TRUE(FilesIn(folder).empty()) << "neither the video nor its temporary file remains";
}

TEST(VideoCapture, AMissingOrFailingEncoderIsReportedAndLeavesNoFile)
{
    const std::string folder = TemporaryFolder("encoder");
    const std::string capture = "--headless --size 64x48 --end 3000 --capture " + folder + "/demo.mp4";
    std::string output;
    EXPECT_EQ(RunCommand("SDL_VIDEODRIVER=offscreen PATH=/nonexistent " + std::string(TARNELVOIS_BINARY) + " --data " +
                             TARNELVOIS_ARCHIVE + " " + capture,
                         &output),
              1);
    EXPECT_NE(output.find("ffmpeg is not on PATH"), std::string::npos) << output;
    EXPECT_TRUE(FilesIn(folder).empty());

    // An encoder that takes a few frames and dies, as one would on a full disk.
    const std::string fakes = TemporaryFolder("fake-ffmpeg");
    std::ofstream(fakes + "/ffmpeg") << "#!/bin/sh\nhead -c 50000 > /dev/null\necho 'No space left on device' >&2\nexit 1\n";
    std::filesystem::permissions(fakes + "/ffmpeg", std::filesystem::perms::owner_all);
    output.clear();
    EXPECT_EQ(RunCommand("PATH=" + fakes + ":/usr/bin:/bin " + kProgram + " " + capture, &output), 1);
    EXPECT_NE(output.find("exited with status 1 (No space left on device)"), std::string::npos) << output;
    EXPECT_EQ(output.find("tarnelvois: written"), std::string::npos) << output;
    EXPECT_TRUE(FilesIn(folder).empty());
}

TEST(Benchmark, PrintsItsFiguresAndWritesNothing)
{
    const std::string folder = TemporaryFolder("benchmark");
    std::string output;
    ASSERT_EQ(RunCommand("cd " + folder + " && " + kProgram + " --benchmark --quiet --size 64x48 --start 1000 --end 3000",
                         &output),
              0)
        << output;
    for (const char* figure : {"frames: 121\n", "wall time: ", "mean: ", "p99 ", "slowest seconds"})
        EXPECT_NE(output.find(figure), std::string::npos) << figure << " in\n" << output;
    // The splash runs from 1 s on: each of the slowest seconds names it.
    EXPECT_NE(output.find("SPLASH"), std::string::npos) << output;
    EXPECT_EQ(RunProgram("--benchmark --capture " + folder + "/x.mp4"), 2);
    EXPECT_TRUE(FilesIn(folder).empty());
}

}  // namespace
