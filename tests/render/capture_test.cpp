// Video capture and the benchmark as a user runs them: the files ffprobe sees, what an interrupted
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

const std::string kProgram = std::string(TARNELVOIS_BINARY) + " --data " + TARNELVOIS_ARCHIVE;

int RunProgram(const std::string& arguments, std::string* output = nullptr, const std::string& environment = "")
{
    return RunCommand("SDL_VIDEODRIVER=offscreen " + environment + " " + kProgram + " " + arguments, output);
}

std::string Probe(const std::string& video)
{
    std::string output;
    RunCommand("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
               "stream=codec_name,width,height,r_frame_rate,nb_read_frames,pix_fmt -of default=nw=1 " + video,
               &output);
    return output;
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    return names;
}

TEST(VideoCapture, FfprobeSeesEveryFrameAtTheRateAndSize)
{
    const std::string folder = TemporaryFolder("video");
    std::string output;
    // 1000..1500 ms at 60 frames per second: frames 60 to 90.
    ASSERT_EQ(RunProgram("--headless --size 160x120 --start 1000 --end 1500 --capture " + folder + "/demo.mp4", &output), 0)
        << output;
    const std::string mp4 = Probe(folder + "/demo.mp4");
    EXPECT_NE(mp4.find("codec_name=h264"), std::string::npos) << mp4;
    EXPECT_NE(mp4.find("width=160\nheight=120"), std::string::npos) << mp4;
    EXPECT_NE(mp4.find("pix_fmt=yuv420p"), std::string::npos) << mp4;
    EXPECT_NE(mp4.find("r_frame_rate=60/1"), std::string::npos) << mp4;
    EXPECT_NE(mp4.find("nb_read_frames=31"), std::string::npos) << mp4;
    EXPECT_NE(output.find("written " + folder + "/demo.mp4"), std::string::npos) << output;

    // Odd sides cannot be 4:2:0; the video gets one black line more instead of failing.
    ASSERT_EQ(RunProgram("--headless --size 97x71 --fps 25 --start 1000 --end 1400 --quiet --capture " + folder +
                             "/demo.webm", &output), 0) << output;
    const std::string webm = Probe(folder + "/demo.webm");
    EXPECT_NE(webm.find("codec_name=vp9"), std::string::npos) << webm;
    EXPECT_NE(webm.find("width=98\nheight=72"), std::string::npos) << webm;
    EXPECT_NE(webm.find("r_frame_rate=25/1"), std::string::npos) << webm;
    EXPECT_NE(webm.find("nb_read_frames=11"), std::string::npos) << webm;

    std::vector<std::string> files = FilesIn(folder);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"demo.mp4", "demo.webm"})) << "no temporary file is left";
}

// Starts a long capture, waits until it is under way, and sends the signal.
int InterruptCapture(const std::string& video, int signal)
{
    const pid_t child = fork();
    if (child == 0) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        execl(TARNELVOIS_BINARY, TARNELVOIS_BINARY, "--data", TARNELVOIS_ARCHIVE, "--headless", "--quiet", "--size",
              "320x240", "--capture", video.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const std::string folder = std::filesystem::path(video).parent_path();
    auto started = std::chrono::steady_clock::now();
    auto underWay = [&] {
        for (const std::string& name : FilesIn(folder))
            if (name.find(".part") != std::string::npos) return true;
        return false;
    };
    while (!underWay() && std::chrono::steady_clock::now() - started < std::chrono::seconds(20))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    // Some frames into the run, so the encoder has a file open.
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

TEST(VideoCapture, AnInterruptedCaptureLeavesNoFile)
{
    for (int signal : {SIGINT, SIGTERM}) {
        const std::string folder = TemporaryFolder("interrupted-" + std::to_string(signal));
        const int status = InterruptCapture(folder + "/demo.mp4", signal);
        ASSERT_TRUE(WIFEXITED(status)) << "the program handles the signal itself, signal " << signal;
        EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
        EXPECT_TRUE(FilesIn(folder).empty()) << "neither the video nor its temporary file remains, signal " << signal;
    }
}

TEST(VideoCapture, AMissingOrFailingEncoderIsReportedAndLeavesNoFile)
{
    const std::string folder = TemporaryFolder("encoder");
    std::string output;
    EXPECT_EQ(RunProgram("--headless --size 64x48 --end 500 --capture " + folder + "/demo.mp4", &output,
                         "PATH=/nonexistent"), 1);
    EXPECT_NE(output.find("ffmpeg is not on PATH"), std::string::npos) << output;
    EXPECT_TRUE(FilesIn(folder).empty());

    // An encoder that takes a few frames and dies, as one would on a full disk.
    const std::string fakes = TemporaryFolder("fake-ffmpeg");
    {
        std::ofstream script(fakes + "/ffmpeg");
        script << "#!/bin/sh\nhead -c 50000 > /dev/null\necho 'No space left on device' >&2\nexit 1\n";
    }
    std::filesystem::permissions(fakes + "/ffmpeg", std::filesystem::perms::owner_all);
    output.clear();
    EXPECT_EQ(RunProgram("--headless --size 64x48 --end 3000 --capture " + folder + "/demo.mp4", &output,
                         "PATH=" + fakes + ":/usr/bin:/bin"), 1);
    EXPECT_NE(output.find("exited with status 1 (No space left on device)"), std::string::npos) << output;
    EXPECT_EQ(output.find("tarnelvois: written"), std::string::npos) << output;
    EXPECT_TRUE(FilesIn(folder).empty());
}

TEST(Benchmark, PrintsItsFiguresAndWritesNothing)
{
    const std::string folder = TemporaryFolder("benchmark");
    std::string output;
    ASSERT_EQ(RunCommand("cd " + folder + " && SDL_VIDEODRIVER=offscreen " + kProgram +
                             " --benchmark --quiet --size 64x48 --start 1000 --end 3000", &output), 0) << output;
    EXPECT_NE(output.find("frames: 121\n"), std::string::npos) << output;
    for (const char* figure : {"wall time: ", "mean: ", "p50 ", "p95 ", "p99 ", "max ", "slowest seconds"})
        EXPECT_NE(output.find(figure), std::string::npos) << figure << " in\n" << output;
    // The splash runs from 1 s on: each of the slowest seconds names it.
    EXPECT_NE(output.find("SPLASH"), std::string::npos) << output;
    EXPECT_TRUE(FilesIn(folder).empty());

    EXPECT_EQ(RunProgram("--benchmark --capture " + folder + "/x.mp4", &output), 2);
    EXPECT_TRUE(FilesIn(folder).empty());
}

}  // namespace
