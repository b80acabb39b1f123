// The piece as a whole, measured on its frames: the airship stands out from what is behind it
// while it slides in, and the screen is never black for long.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tests/support/test_files.h"

namespace {

std::string TimelineWithout(const std::string& effect)
{
    std::ifstream in(TARNELVOIS_TIMELINE);
    std::string line, kept;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string time, command, name;
        words >> time >> command >> name;
        if (name != effect) kept += line + "\n";
    }
    return kept;
}

// The largest channel difference, averaged over a box of the frame.
double MeanDifference(const Picture& a, const Picture& b, int left, int top, int right, int bottom)
{
    double sum = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            for (int c = 0, most = 0; c < 3; ++c) {
                most = std::max(most, std::abs(int(a.At(x, y)[c]) - int(b.At(x, y)[c])));
                if (c == 2) sum += most;
            }
    return sum / ((right - left) * (bottom - top));
}

TEST(Composition, TheAirshipStandsOutFromTheBackgroundForMostOfItsSlide)
{
    const std::string root = TemporaryFolder("airship");
    const std::string without = root + "/without-zep.txt";
    SaveFile(without, TextBytes(TimelineWithout("ZEP")));
    // It slides in from 142 s and fades in over 5 s; from 147 s to 158 s it is at full slide brightness.
    const std::string common = "--headless --size 160x120 --fps 1 --seed 7 --start 147000 --end 158000 ";
    ASSERT_EQ(RunProgram(common + "--timeline " + TARNELVOIS_TIMELINE + " --capture " + root + "/with"), 0);
    ASSERT_EQ(RunProgram(common + "--timeline " + without + " --capture " + root + "/without"), 0);
    int plain = 0;
    for (int second = 147; second <= 158; ++second) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%06d.png", second);
        const Picture with = ReadPng(root + "/with" + name), without = ReadPng(root + "/without" + name);
        ASSERT_EQ(with.width, 160) << name;
        // The middle of the hull: the picture's columns 100-380 and rows 190-280 of 512, on a 40 % x 55 %
        // rectangle whose left edge moves from 0.7 of the width by 0.04 a second.
        const double left = 0.7 - (second - 142) * 0.04;
        const int x0 = int((left + 0.4 * 100 / 512) * 160), x1 = int((left + 0.4 * 380 / 512) * 160);
        const double difference = MeanDifference(with, without, std::max(x0, 0), 40, std::min(x1, 160), 51);
        // Over bright sheets it changed them by 2 or 3 levels; over the fading lines it shows, over black plainly.
        EXPECT_GT(difference, 15.0) << "at " << second << " s the ship barely changes what is behind it";
        plain += difference > 30.0;
    }
    EXPECT_GE(plain, 8) << "seconds of 12 in which the ship stands out plainly";
}

TEST(Composition, TheScreenIsNeverBlackForMoreThanThreeSecondsAfterTheStart)
{
    const std::string root = TemporaryFolder("dark");
    ASSERT_EQ(RunProgram("--headless --size 160x120 --fps 2 --seed 7 --capture " + root), 0);
    const std::vector<std::string> frames = FilesIn(root);
    ASSERT_GT(frames.size(), 500u);
    // A frame is black when fewer than one pixel in a thousand is plainly lit (above 32 of 255); the
    // stars alone light about two in a thousand.
    int darkSince = -1, longest = 0, longestFrom = 0;
    for (int k = 0; k < int(frames.size()); ++k) {
        const Picture frame = ReadPng(root + "/" + frames[k]);
        int lit = 0;
        for (int i = 0; i < frame.width * frame.height; ++i)
            lit += *std::max_element(&frame.rgb[i * 3], &frame.rgb[i * 3] + 3) > 32;
        const bool dark = lit * 1000 < frame.width * frame.height;
        if (dark && darkSince < 0) darkSince = k;
        if (!dark) darkSince = -1;
        // The piece opens in the dark: the first seconds do not count.
        if (darkSince >= 6 && k - darkSince + 1 > longest) {
            longest = k - darkSince + 1;
            longestFrom = darkSince;
        }
    }
    EXPECT_LE(longest, 6) << "black for " << longest / 2.0 << " s from " << longestFrom / 2.0 << " s";
}

}  // namespace
