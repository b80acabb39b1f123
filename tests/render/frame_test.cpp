// Captures in a frame of their own size (--frame): the picture between black bars, unchanged from
// a capture without them, in PNG frames and in a video.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/test_files.h"

namespace {

// One frame at 30 s, where the cubes and the stars give the picture detail up to its edges.
const std::string kOneFrame = "--headless --quiet --seed 5 --start 30000 --end 30000 ";

Picture CaptureFrame(const std::string& folder, const std::string& options)
{
    EXPECT_EQ(RunProgram(kOneFrame + options + " --capture " + folder), 0) << options;
    return ReadPng(folder + "/frame-001800.png");
}

// Largest difference of any channel between the picture and the frame's region at (left, top).
int LargestDifference(const Picture& picture, const Picture& frame, int left, int top)
{
    int largest = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            for (int c = 0; c < 3; ++c)
                largest = std::max(largest, std::abs(int(picture.At(x, y)[c]) - int(frame.At(left + x, top + y)[c])));
    return largest;
}

// Brightest channel in a rectangle.
int Brightest(const Picture& frame, int left, int top, int width, int height)
{
    int brightest = 0;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            for (int c = 0; c < 3; ++c) brightest = std::max(brightest, int(frame.At(x, y)[c]));
    return brightest;
}

TEST(CaptureFrame, BarsBesideOrAboveThePictureWhichIsUnchanged)
{
    const std::string root = TemporaryFolder("frame");
    const Picture plain = CaptureFrame(root + "/plain", "--size 160x120");
    ASSERT_EQ(plain.width, 160);
    ASSERT_GT(Brightest(plain, 0, 0, 160, 120), 100) << "the picture has something to compare";

    const Picture wide = CaptureFrame(root + "/wide", "--size 160x120 --frame 214x120");
    ASSERT_EQ(wide.width, 214);
    ASSERT_EQ(wide.height, 120);
    EXPECT_EQ(LargestDifference(plain, wide, 27, 0), 0);
    EXPECT_EQ(Brightest(wide, 0, 0, 27, 120), 0) << "27 black columns on the left";
    EXPECT_EQ(Brightest(wide, 187, 0, 27, 120), 0) << "and 27 on the right";

    const Picture tall = CaptureFrame(root + "/tall", "--size 160x120 --frame 160x151");
    ASSERT_EQ(tall.height, 151);
    EXPECT_EQ(LargestDifference(plain, tall, 0, 15), 0);
    EXPECT_EQ(Brightest(tall, 0, 0, 160, 15), 0) << "15 black rows above";
    EXPECT_EQ(Brightest(tall, 0, 135, 160, 16), 0) << "and 16 below";

    // Odd sides on both, and a frame of another shape: the picture is scaled to fit.
    const Picture odd = CaptureFrame(root + "/odd", "--size 161x121 --frame 201x121");
    EXPECT_EQ(odd.width, 201);
    EXPECT_EQ(Brightest(odd, 0, 0, 20, 121), 0);
    EXPECT_EQ(Brightest(odd, 181, 0, 20, 121), 0);
    const Picture smaller = CaptureFrame(root + "/smaller", "--size 320x240 --frame 100x100");
    ASSERT_EQ(smaller.width, 100);
    EXPECT_EQ(Brightest(smaller, 0, 0, 100, 12), 0) << "the 100x75 picture leaves 12 rows above";
    EXPECT_EQ(Brightest(smaller, 0, 88, 100, 12), 0);
    EXPECT_GT(Brightest(smaller, 0, 13, 100, 74), 100);

    EXPECT_EQ(RunProgram("--headless --size 64x48 --frame 80x48 --end 0"), 2) << "--frame without a capture";
}

TEST(CaptureFrame, AVideoFrameHasTheBarsAndThePictureWithinTheEncodersTolerance)
{
    const std::string root = TemporaryFolder("frame-video");
    const Picture plain = CaptureFrame(root + "/plain", "--size 240x180");
    ASSERT_EQ(RunProgram(kOneFrame + "--size 240x180 --frame 320x180 --capture " + root + "/demo.mp4"), 0);
    ASSERT_EQ(RunCommand("ffmpeg -v error -i " + root + "/demo.mp4 -frames:v 1 " + root + "/decoded.png"), 0);
    const Picture decoded = ReadPng(root + "/decoded.png");
    ASSERT_EQ(decoded.width, 320);
    ASSERT_EQ(decoded.height, 180);
    // Black in a video is 16 of 255 before the player's range expansion; a few levels of ringing at
    // the picture's edge are the codec's, not a bar.
    EXPECT_LE(Brightest(decoded, 0, 0, 36, 180), 8);
    EXPECT_LE(Brightest(decoded, 284, 0, 36, 180), 8);
    // Within the picture, the mean difference is what the encoder's quality allows.
    double total = 0;
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < 240; ++x)
            for (int c = 0; c < 3; ++c) total += std::abs(int(plain.At(x, y)[c]) - int(decoded.At(40 + x, y)[c]));
    EXPECT_LT(total / (240 * 180 * 3), 3.0);
    // The same comparison one column off is much worse: the picture sits exactly at column 40.
    double shifted = 0;
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < 240; ++x)
            for (int c = 0; c < 3; ++c) shifted += std::abs(int(plain.At(x, y)[c]) - int(decoded.At(41 + x, y)[c]));
    EXPECT_GT(shifted, total * 1.5);
}

}  // namespace
