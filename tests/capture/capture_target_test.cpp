// The temporary names a capture writes under, and which names count as earlier frames.
#include <gtest/gtest.h>

#include "capture/capture_target.h"

namespace {

TEST(CaptureTarget, TemporaryNamesCarryTheProcessAndFitTheNameLimit)
{
    EXPECT_EQ(TemporaryNameBeside("out/demo.mp4", 42), "out/demo.mp4.42.part");
    EXPECT_NE(TemporaryNameBeside("frame-000001.png", 1), TemporaryNameBeside("frame-000001.png", 2));
    const std::string name = TemporaryNameBeside("/tmp/" + std::string(251, 'a') + ".mp4", 123456);
    EXPECT_EQ(name.size() - 5, 255u);
    EXPECT_EQ(name.substr(name.size() - 13), "a.123456.part");
    // A name shortened inside a two-byte character keeps no half of it.
    const std::string accented = std::string(243, 'e') + "\xc3\xa9\xc3\xa9.mp4";
    EXPECT_EQ(TemporaryNameBeside(accented, 77, 254), std::string(243, 'e') + "\xc3\xa9.77.part");
    EXPECT_EQ(TemporaryNameBeside(accented, 77, 255), std::string(243, 'e') + "\xc3\xa9\xc3\xa9.77.part");
}

TEST(CaptureTarget, OnlyFrameNamesCountAsEarlierFrames)
{
    for (const char* name : {"frame-000000.png", "frame-1234567.png"}) EXPECT_TRUE(IsFrameName(name)) << name;
    for (const char* name : {"frame-.png", "frame-00001.png.77.part", "frame-0a.png", "myframe-000001.png", "notes.txt"})
        EXPECT_FALSE(IsFrameName(name)) << name;
}

}  // namespace
