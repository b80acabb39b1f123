// The size and length the closing line gives a finished video.
#include "app/video_summary.h"

#include <gtest/gtest.h>

namespace {

TEST(VideoSummary, SizeAndLengthAsPeopleSayThem)
{
    // The whole piece at 60 fps: 15300 frames, exactly 4:15.
    EXPECT_EQ(VideoSummary(231400000, 15300, 60), "231 MB, 4:15");
    EXPECT_EQ(VideoSummary(9949999, 600, 60), "9.9 MB, 0:10");
    EXPECT_EQ(VideoSummary(999499, 60, 60), "999 kB, 0:01");
    // 31 frames are 0.517 s: never rounded up to a length the video does not have.
    EXPECT_EQ(VideoSummary(12000, 31, 60), "12 kB, 0:00.5");
    EXPECT_EQ(VideoSummary(0, 1, 1000), "0 kB, 0:00");
    // An hour and more stays in minutes; 24 fps gives whole tenths only where they are.
    EXPECT_EQ(VideoSummary(5000000000, 3600 * 24 + 12, 24), "5000 MB, 60:00.5");
}

}  // namespace
