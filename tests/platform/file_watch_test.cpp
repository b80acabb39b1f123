#include "platform/file_watch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "host/timeline_file.h"
#include "platform/process.h"

namespace {

std::string TemporaryPath(const std::string& name)
{
    return (std::filesystem::temp_directory_path() / ("tarnelvois-watch-" + std::to_string(ProcessId()) + "-" + name)).string();
}

TEST(FileWatch, ReportsEachChangeOnceAndNotWhileTheFileIsGoneOrBetweenLooks)
{
    const std::string path = TemporaryPath("timeline.txt");
    std::ofstream(path) << "0 end\n";
    FileWatch watch(path, 1000);
    EXPECT_FALSE(watch.Changed(2000)) << "unchanged";

    std::ofstream(path) << "0 start CUBE 1\n10 end\n";
    EXPECT_FALSE(watch.Changed(2100)) << "looked at most twice a second";
    EXPECT_TRUE(watch.Changed(2600));
    EXPECT_FALSE(watch.Changed(3200)) << "one change, one report";

    // An editor that saves by removing and writing anew: nothing while it is missing, then one change.
    std::remove(path.c_str());
    EXPECT_FALSE(watch.Changed(4000));
    // (Of another size: Windows moves a file's time in steps of milliseconds, and this test is faster.)
    std::ofstream(path) << "0 start CUBE 20\n10 end\n";
    EXPECT_TRUE(watch.Changed(4600));
    std::remove(path.c_str());
}

TEST(TimelineFile, AFaultNamesFileAndLineAndLeavesTheTimelineAsItWas)
{
    const std::string path = TemporaryPath("faulty.txt");
    Timeline timeline;
    std::string error;
    std::ofstream(path) << "0 start CUBE 1\n10 end\n";
    ASSERT_TRUE(LoadTimelineFile(path, {"CUBE"}, timeline, error)) << error;
    ASSERT_EQ(timeline.events.size(), 2u);

    std::ofstream(path) << "0 start CUBE 1\n5 start ZAP 2\n10 end\n";
    EXPECT_FALSE(LoadTimelineFile(path, {"CUBE"}, timeline, error));
    EXPECT_EQ(error.rfind(path + ":2: ", 0), 0u) << error;
    EXPECT_EQ(timeline.events.size(), 2u) << "a refused file must not replace what plays";

    std::ofstream(path, std::ios::trunc).flush();
    EXPECT_FALSE(LoadTimelineFile(path, {"CUBE"}, timeline, error)) << "an empty file has no end";
    std::remove(path.c_str());
    EXPECT_FALSE(LoadTimelineFile("/tmp", {"CUBE"}, timeline, error));
    EXPECT_NE(error.find("not a file"), std::string::npos) << error;
}

}  // namespace
