// Passes of a chosen span in a capture: each pass shows the span again, from its start, with its
// sound, and the numbers of the frames go on; and a folder a capture writes into is its own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "platform/files.h"
#include "tests/support/test_files.h"

namespace {

std::string FrameName(int index)
{
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06d.png", index);
    return name;
}

TEST(PassesOfASpan, EachPassShowsAndSoundsTheSpanAgainAndTheFrameNumbersGoOn)
{
    const std::string folder = TemporaryFolder("passes-span");
    ASSERT_EQ(RunProgram("--headless --quiet --size 48x36 --fps 10 --seed 5 --start 30000 --end 30900 --passes 2 "
                         "--capture " + folder),
              0);
    std::vector<std::string> expected;
    for (int index = 300; index < 320; ++index) expected.push_back(FrameName(index).substr(1));
    expected.push_back("soundtrack.wav");
    ASSERT_EQ(FilesIn(folder), expected) << "a pass went from the beginning of the piece, not from --start";
    for (int frame = 300; frame < 310; ++frame)
        EXPECT_EQ(ReadFileBytes(folder + FrameName(frame)), ReadFileBytes(folder + FrameName(frame + 10)))
            << "frame " << frame << " of the second pass";

    // 10 frames at 10 fps a pass: 48000 sample frames of 4 bytes each, twice, the same twice.
    const Bytes wav = ReadFileBytes(folder + "/soundtrack.wav");
    const size_t pass = 48000 * 4;
    ASSERT_EQ(wav.size(), 44 + 2 * pass) << "the sound does not last as long as both passes";
    EXPECT_TRUE(std::equal(wav.begin() + 44, wav.begin() + 44 + pass, wav.begin() + 44 + pass))
        << "the second pass does not hear the span again";
    EXPECT_NE(std::count(wav.begin() + 44, wav.end(), 0), std::ptrdiff_t(2 * pass)) << "silence";
}

TEST(CaptureFolder, ASecondCaptureIntoAFolderInUseIsRefusedNamingTheFirst)
{
    const std::string folder = TemporaryFolder("claimed-folder");
    std::string holder, reason;
    // This test process stands for the first capture.
    std::unique_ptr<FolderClaim> first = FolderClaim::Take(folder, holder, reason);
    ASSERT_TRUE(first) << reason;
    std::string output;
    EXPECT_EQ(RunProgram("--headless --size 32x24 --fps 10 --end 200 --mute --overwrite --capture " + folder, &output),
              1);
    EXPECT_NE(output.find("another capture (process " + std::to_string(getpid()) + ") is writing into it"),
              std::string::npos)
        << output;
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{".tarnelvois-capture.lock"}) << "the second capture wrote";
}

}  // namespace
