// The snow and the star field drawn by the real host on the software renderer: they only add light,
// and only inside the letterbox band.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/test_files.h"

namespace {

struct Lit {
    int insideBand = 0, outsideBand = 0;
};

Lit CountLit(const Picture& picture)
{
    Lit lit;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* pixel = picture.At(x, y);
            if (pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 0) continue;
            // Rows 96..383 counted from the bottom are the band; PNG rows run from the top.
            bool inside = y >= 480 - 384 && y < 480 - 96;
            ++(inside ? lit.insideBand : lit.outsideBand);
        }
    return lit;
}

TEST(SpritesRender, SnowAndStarsShineOnlyInsideTheBandAndStartBlack)
{
    // Two frames a second at 640x480: frame n is at n * 500 ms. The stars go at 4 s; the snow stays.
    const std::string folder = TemporaryFolder("sprites");
    std::ofstream(folder + "/timeline.txt")
        << "0 start CONTROL 0\n0 start STAR 70\n0 start SNOW 71\n4000 stop STAR\n21000 end\n";
    std::string output;
    ASSERT_EQ(RunProgram("--headless --quiet --size 640x480 --fps 2 --seed 11 --timeline " + folder +
                             "/timeline.txt --capture " + folder + "/frames",
                         &output),
              0)
        << output;
    Lit first = CountLit(ReadPng(folder + "/frames/frame-000000.png"));
    EXPECT_EQ(first.insideBand + first.outsideBand, 0) << "no flake on the first frame and the stars fade in from black";

    Lit stars = CountLit(ReadPng(folder + "/frames/frame-000006.png"));
    EXPECT_GT(stars.insideBand, 300);
    EXPECT_EQ(stars.outsideBand, 0);

    const Picture last = ReadPng(folder + "/frames/frame-000040.png");
    ASSERT_EQ(last.width, 640);
    Lit snow = CountLit(last);
    EXPECT_GT(snow.insideBand, 200) << "after 20 s about 150 flakes should show";
    EXPECT_EQ(snow.outsideBand, 0);
}

}  // namespace
