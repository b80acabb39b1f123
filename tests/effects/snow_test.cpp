// The snow's ramp, its run-down, where flakes enter, and the overlay it draws in.
#include <gtest/gtest.h>

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
    recorder::Frame(snow, time);
    return recorder::Count("glBegin");
}

TEST(SnowEffect, FirstFrameHasNoFlakesAndDrawsNothingFromTheGenerator)
{
    DemoSeedRandom(7);
    int firstDraw = DemoRandom();
    DemoSeedRandom(7);
    auto snow = StartedSnow(60000);
    EXPECT_EQ(snow->liveCount, 0);
    EXPECT_EQ(recorder::Count("glBegin"), 0u);
    EXPECT_EQ(DemoRandom(), firstDraw);

    for (auto [time, count] : {std::pair{61000, 7u}, std::pair{120000, 455u}, std::pair{180000, 901u}})
        EXPECT_EQ(TrianglesIn(time, *snow), count) << "the count ramps with the effect's age, at " << time;
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
    for (auto [time, spawned] : {std::pair{135000, 3000}, std::pair{135005, 3000}, std::pair{135006, 2999},
                                 std::pair{144000, 1500}, std::pair{153000, 0}})
        EXPECT_EQ(SpawnedWithAFullSkyAt(time), spawned) << time;
}

TEST(SnowEffect, DrawOfMoreThan24000EntersAtTheRightEdge)
{
    for (int edgeDraw : {24000, 24001}) {
        auto snow = StartedSnow(60000);
        SeedSoNextDrawIs(edgeDraw);
        DemoRandom();
        float along = DemoRandom() / 32767.0f, size = DemoRandom() / 32767.0f / 28.0f;
        SeedSoNextDrawIs(edgeDraw);
        EXPECT_EQ(TrianglesIn(60200, *snow), 1u);
        std::vector<float> expected = edgeDraw > 24000 ? std::vector<float>{1.0f, along, size}
                                                       : std::vector<float>{along, 1.0f, size};
        EXPECT_EQ((std::vector<float>{snow->spawnX[0], snow->spawnY[0], snow->size[0]}), expected) << edgeDraw;
    }
}

TEST(SnowEffect, DrawsAddedInsideTheLetterboxAndRestoresWhatItSaved)
{
    auto snow = StartedSnow(60000);
    TrianglesIn(63000, *snow);
    const std::string setUp =  // alpha: whole seconds of age over two
        "glPushAttrib(24840) glEnable(3042) glBlendFunc(768,1) glScissor(0,96,640,288) glEnable(3089) "
        "glEnable(2929) glDepthFunc(515) glEnable(3553) glBindTexture(3553,1) glMatrixMode(5889) glPushMatrix "
        "glLoadIdentity glOrtho(0,1,0,1,-1,1) glMatrixMode(5888) glLoadIdentity glTranslatef(0,0,-0.1) "
        "glColor4f(1,1,1,1) glBegin(4) ";
    const std::string restore = "glEnd glMatrixMode(5889) glPopMatrix glPopAttrib";
    const std::string transcript = recorder::Transcript();
    EXPECT_EQ(transcript.substr(0, setUp.size()), setUp);
    EXPECT_EQ(transcript.substr(transcript.size() - restore.size()), restore);
}

}  // namespace
