// The snow's ramp, its run-down, where flakes enter, and the overlay it draws in.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <memory>

#include "effects/snow.h"
#include "host/random.h"
#include "tests/support/recorder.h"

namespace {

// Seeds the generator so that its next draw is exactly value (inverting its linear step).
void SeedSoNextDrawIs(int value)
{
    const unsigned int multiplier = 214013u, increment = 2531011u;
    unsigned int inverse = multiplier;  // Newton's iteration for the inverse modulo 2^32
    for (int step = 0; step < 5; ++step) inverse *= 2u - multiplier * inverse;
    DemoSeedRandom(((static_cast<unsigned int>(value) << 16) - increment) * inverse);
}

// The object is large (six arrays of 3000), so tests keep it on the heap.
std::unique_ptr<CSnowEffect> StartedSnow(LONG firstFrame)
{
    recorder::Reset();
    auto snow = std::make_unique<CSnowEffect>();
    snow->Init(640, 480);
    snow->RenderFrame(firstFrame);
    return snow;
}

size_t TrianglesIn(LONG time, CSnowEffect& snow)
{
    recorder::Reset();
    snow.RenderFrame(time);
    return recorder::Count("glBegin");
}

TEST(SnowEffect, FirstFrameHasNoFlakesAndDrawsNothingFromTheGenerator)
{
    EXPECT_LT(std::make_unique<CSnowEffect>()->liveCount, 3000) << "the first frame must compute the count";
    DemoSeedRandom(7);
    int firstDraw = DemoRandom();
    DemoSeedRandom(7);
    auto snow = StartedSnow(60000);
    EXPECT_EQ(snow->liveCount, 0);
    EXPECT_EQ(recorder::Count("glBegin"), 0u);
    EXPECT_EQ(DemoRandom(), firstDraw);
}

TEST(SnowEffect, CountRampsWithTheEffectsAge)
{
    auto snow = StartedSnow(60000);
    EXPECT_EQ(TrianglesIn(61000, *snow), 7u);
    EXPECT_EQ(TrianglesIn(120000, *snow), 455u);
    EXPECT_EQ(TrianglesIn(180000, *snow), 901u);
}

// A full sky of never-spawned flakes at the given time: how many of the 3000 are spawned.
int SpawnedWithAFullSkyAt(LONG time)
{
    auto snow = StartedSnow(1000);
    snow->liveCount = 3000;
    EXPECT_EQ(TrianglesIn(time, *snow), 3000u) << "flakes past the limit stay in the live range";
    int spawned = 0;
    while (spawned < 3000 && snow->spawnTime[spawned] == static_cast<float>(time)) ++spawned;
    for (int i = spawned; i < 3000; ++i) EXPECT_NE(snow->spawnTime[i], static_cast<float>(time)) << i;
    return spawned;
}

TEST(SnowEffect, ReplacementRunsDownFrom135To153Seconds)
{
    EXPECT_EQ(SpawnedWithAFullSkyAt(135000), 3000);
    EXPECT_EQ(SpawnedWithAFullSkyAt(135005), 3000);
    EXPECT_EQ(SpawnedWithAFullSkyAt(135006), 2999);
    EXPECT_EQ(SpawnedWithAFullSkyAt(144000), 1500);
    EXPECT_EQ(SpawnedWithAFullSkyAt(153000), 0);
}

// Spawns one flake (the ramp's first) with the given first draw; returns (x, y, size).
std::vector<float> SpawnWithEdgeDraw(int edgeDraw, int& along, int& sizeDraw)
{
    auto snow = StartedSnow(60000);
    SeedSoNextDrawIs(edgeDraw);
    DemoRandom();
    along = DemoRandom();
    sizeDraw = DemoRandom();
    SeedSoNextDrawIs(edgeDraw);
    EXPECT_EQ(TrianglesIn(60200, *snow), 1u);
    return {snow->spawnX[0], snow->spawnY[0], snow->size[0]};
}

TEST(SnowEffect, DrawOfMoreThan24000EntersAtTheRightEdge)
{
    int along, sizeDraw;
    auto top = SpawnWithEdgeDraw(24000, along, sizeDraw);
    EXPECT_EQ(top, (std::vector<float>{along / 32767.0f, 1.0f, sizeDraw / 32767.0f / 28.0f}));
    auto right = SpawnWithEdgeDraw(24001, along, sizeDraw);
    EXPECT_EQ(right, (std::vector<float>{1.0f, along / 32767.0f, sizeDraw / 32767.0f / 28.0f}));
}

TEST(SnowEffect, DrawsAddedInsideTheLetterboxAndRestoresWhatItSaved)
{
    auto snow = StartedSnow(60000);
    TrianglesIn(63000, *snow);
    const auto& calls = recorder::Calls();
    std::vector<std::string> names = recorder::Names();
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 9),
              (std::vector<std::string>{"glPushAttrib", "glEnable", "glBlendFunc", "glScissor", "glEnable",
                                        "glEnable", "glDepthFunc", "glEnable", "glBindTexture"}));
    EXPECT_EQ(calls[0].Arg(0), 0x6108);
    EXPECT_EQ(calls[2].args, (std::vector<double>{GL_SRC_COLOR, GL_ONE}));
    EXPECT_EQ(calls[3].args, (std::vector<double>{0, 96, 640, 288}));
    EXPECT_EQ(calls[12].args, (std::vector<double>{0, 1, 0, 1, -1, 1}));
    EXPECT_EQ(calls[15].args, (std::vector<double>{0, 0, -0.1f}));
    EXPECT_EQ(calls[16].args, (std::vector<double>{1, 1, 1, 1}));  // alpha: whole seconds of age over two
    EXPECT_EQ(std::vector<std::string>(names.end() - 3, names.end()),
              (std::vector<std::string>{"glMatrixMode", "glPopMatrix", "glPopAttrib"}));

    // Each flake is the upper-left half of the square standing on its place.
    auto vertices = recorder::CallsNamed("glVertex3f");
    float x = snow->posX[6], y = snow->posY[6], w = snow->size[6];
    EXPECT_EQ(vertices[18].args, (std::vector<double>{x, y, 1}));
    EXPECT_EQ(vertices[19].args, (std::vector<double>{x, y + w, 1}));
    EXPECT_EQ(vertices[20].args, (std::vector<double>{x + w, y + w, 1}));
}

}  // namespace
