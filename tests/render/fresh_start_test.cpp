// A timeline line that starts an effect "fresh": the host initialises it again, so it looks as on
// its first start; without the word a second run goes on with the effect's own clock.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "tests/support/test_files.h"

namespace {

Bytes FrameAt(const std::string& folder, int second)
{
    char name[64];
    std::snprintf(name, sizeof name, "/frame-%06d.png", second);
    return ReadFileBytes(folder + name);
}

TEST(FreshStart, AFreshSplashShowsAsOnItsFirstStartAndAPlainRestartGoesOnWithItsClock)
{
    const std::string folder = TemporaryFolder("fresh-start");
    std::ofstream(folder + "/timeline.txt")
        << "0 start CONTROL 0\n1000 start SPLASH 80\n4000 stop SPLASH\n10000 start SPLASH 80 fresh\n"
           "13000 stop SPLASH\n20000 start SPLASH 80\n23000 end\n";
    std::string output;
    ASSERT_EQ(RunProgram("--headless --quiet --size 64x48 --fps 1 --start 1000 --end 22000 --timeline " + folder +
                             "/timeline.txt --capture " + folder + "/frames",
                         &output),
              0)
        << output;
    const std::string frames = folder + "/frames";
    for (int age : {1, 2}) {
        EXPECT_FALSE(FrameAt(frames, 1 + age).empty());
        EXPECT_EQ(FrameAt(frames, 1 + age), FrameAt(frames, 10 + age)) << "a fresh start, " << age << " s in";
    }
    // The plain restart at 20 s is 10 s into the clock the fresh start began: brighter than a
    // first start's second second.
    EXPECT_NE(FrameAt(frames, 21), FrameAt(frames, 2));
}

}  // namespace
