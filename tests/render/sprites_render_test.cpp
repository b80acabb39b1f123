// The snow and the star field drawn by the real host on the software renderer: they only add light,
// and only inside the letterbox band.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/test_files.h"

namespace {

const std::string kProgram = std::string(TARNELVOIS_BINARY) + " --data " + TARNELVOIS_ARCHIVE;

// Plays a timeline of CONTROL and the one effect, two frames a second at 640x480; frame n is at
// n * 500 ms, and the run stops before the frame at end.
std::string Play(const std::string& effect, int layer, int end)
{
    const std::string folder = TemporaryFolder("sprites-" + effect);
    std::ofstream(folder + "/timeline.txt") << "0 start CONTROL 0\n0 start " << effect << " " << layer << "\n"
                                            << end << " stop " << effect << "\n"
                                            << end << " stop CONTROL\n"
                                            << end << " end\n";
    std::string output;
    int status = RunCommand("SDL_VIDEODRIVER=offscreen LIBGL_ALWAYS_SOFTWARE=1 " + kProgram +
                                " --headless --quiet --size 640x480 --fps 2 --seed 11 --start 0 --end " +
                                std::to_string(end) + " --timeline " + folder + "/timeline.txt --capture " + folder +
                                "/frames",
                            &output);
    EXPECT_EQ(status, 0) << output;
    return folder + "/frames";
}

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

TEST(SpritesRender, SnowFallsOnlyInsideTheBand)
{
    const std::string frames = Play("SNOW", 71, 21000);
    Picture last = ReadPng(frames + "/frame-000040.png");
    ASSERT_EQ(last.width, 640);
    Lit lit = CountLit(last);
    EXPECT_GT(lit.insideBand, 200) << "after 20 s about 150 flakes should show";
    EXPECT_EQ(lit.outsideBand, 0);

    Lit first = CountLit(ReadPng(frames + "/frame-000000.png"));
    EXPECT_EQ(first.insideBand + first.outsideBand, 0) << "no flake on the first frame";
}

TEST(SpritesRender, StarsShineOnlyInsideTheBandAndStartBlack)
{
    const std::string frames = Play("STAR", 70, 4000);
    Lit first = CountLit(ReadPng(frames + "/frame-000000.png"));
    EXPECT_EQ(first.insideBand + first.outsideBand, 0) << "the field fades in from black";

    Lit later = CountLit(ReadPng(frames + "/frame-000006.png"));
    EXPECT_GT(later.insideBand, 300);
    EXPECT_EQ(later.outsideBand, 0);
}

}  // namespace
