// The snow's ramp, its run-down, where flakes enter, and the overlay it draws in.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <memory>

#include "effects/snow.h"
#include "host/random.h"
#include "tests/support/recorder.h"

namespace {

// Seeds the generator so that its next draw is exactly value.
void SeedSoNextDrawIs(int value)
{
    const unsigned int multiplier = 214013u, increment = 2531011u;
    unsigned int inverse = multiplier;  // Newton's iteration for the inverse modulo 2^32
    for (int step = 0; step < 5; ++step) inverse *= 2u - multiplier * inverse;
    unsigned int wantedState = static_cast<unsigned int>(value) << 16;
    DemoSeedRandom((wantedState - increment) * inverse);
}

// The object is large (six arrays of 3000), so tests keep it on the heap.
std::unique_ptr<CSnowEffect> StartedSnow(LONG firstFrame)
{
    recorder::Reset();
    auto snow = std::make_unique<CSnowEffect>();
    snow->Init(640, 480);
    snow->Prepare();
    snow->RenderFrame(firstFrame);
    return snow;
}

size_t TrianglesIn(LONG time, CSnowEffect& snow)
{
    recorder::Reset();
    snow.RenderFrame(time);
    return recorder::Count("glBegin");
}

TEST(SnowEffect, FirstFrameHasNoFlakesAndDrawsNothing)
{
    DemoSeedRandom(7);
    int firstDraw = DemoRandom();
    DemoSeedRandom(7);
    auto snow = StartedSnow(60000);
    EXPECT_EQ(snow->liveCount, 0);
    EXPECT_EQ(recorder::Count("glBegin"), 0u);
    EXPECT_EQ(recorder::Count("glPushAttrib"), 1u) << "the overlay is still set up and restored";
    EXPECT_EQ(DemoRandom(), firstDraw) << "no draw from the generator on the first frame";
    for (float x : snow->posX) ASSERT_EQ(x, -1.0f);
}

TEST(SnowEffect, CountRampsWithTheEffectsAge)
{
    auto snow = StartedSnow(60000);
    EXPECT_EQ(TrianglesIn(61000, *snow), 7u);
    EXPECT_EQ(snow->liveCount, 7);
    EXPECT_EQ(TrianglesIn(90000, *snow), 228u);
    EXPECT_EQ(TrianglesIn(120000, *snow), 455u);
    EXPECT_EQ(TrianglesIn(180000, *snow), 901u);
}

TEST(SnowEffect, CountStartsBelowTheSlotCountBeforeAnyFrame)
{
    auto snow = std::make_unique<CSnowEffect>();
    EXPECT_GE(snow->liveCount, 0);
    EXPECT_LT(snow->liveCount, 3000);
}

// A full sky of never-spawned flakes at time t: how many of the 3000 are spawned.
int SpawnedWithAFullSkyAt(LONG time)
{
    auto snow = StartedSnow(1000);
    snow->liveCount = 3000;
    recorder::Reset();
    snow->RenderFrame(time);
    int spawned = 0;
    for (int i = 0; i < 3000; ++i) {
        bool fresh = snow->spawnTime[i] == static_cast<float>(time);
        if (fresh) ++spawned;
        EXPECT_EQ(fresh, i < spawned) << "spawned slots must be the lowest ones, slot " << i;
    }
    EXPECT_EQ(recorder::Count("glBegin"), 3000u) << "dead flakes past the limit stay in the live range";
    return spawned;
}

TEST(SnowEffect, ReplacementRunsDownFrom135To153Seconds)
{
    EXPECT_EQ(SpawnedWithAFullSkyAt(135000), 3000);
    EXPECT_EQ(SpawnedWithAFullSkyAt(135005), 3000);
    EXPECT_EQ(SpawnedWithAFullSkyAt(135006), 2999);
    EXPECT_EQ(SpawnedWithAFullSkyAt(144000), 1500);
    EXPECT_EQ(SpawnedWithAFullSkyAt(153000), 0);
    EXPECT_EQ(SpawnedWithAFullSkyAt(160000), 0);
}

TEST(SnowEffect, RunDownLeavesFallenFlakesGoneForGood)
{
    auto snow = StartedSnow(60000);
    TrianglesIn(61000, *snow);  // seven flakes spawned
    ASSERT_EQ(snow->liveCount, 7);
    snow->liveCount = 3000;     // keep the ramp out of the way
    TrianglesIn(153000, *snow); // every flake has long fallen; none may come back
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(snow->spawnTime[i], 61000.0f);
        EXPECT_LT(snow->posY[i], 0.0f);
    }
    float lastY = snow->posY[0];
    TrianglesIn(154000, *snow);
    EXPECT_LT(snow->posY[0], lastY) << "a flake past the limit goes on falling";
}

// One flake spawned on a frame where the ramp first gives one slot, with the edge draw chosen.
struct Spawn {
    float x, y, size;
    int along, sizeDraw;
};

Spawn SpawnWithEdgeDraw(int edgeDraw)
{
    auto snow = StartedSnow(60000);
    SeedSoNextDrawIs(edgeDraw);
    DemoRandom();
    Spawn spawn{};
    spawn.along = DemoRandom();
    spawn.sizeDraw = DemoRandom();
    SeedSoNextDrawIs(edgeDraw);
    TrianglesIn(60200, *snow);
    EXPECT_EQ(snow->liveCount, 1);
    EXPECT_EQ(snow->spawnTime[0], 60200.0f);
    spawn.x = snow->spawnX[0];
    spawn.y = snow->spawnY[0];
    spawn.size = snow->size[0];
    EXPECT_EQ(snow->posX[0], spawn.x);
    EXPECT_EQ(snow->posY[0], spawn.y);
    return spawn;
}

TEST(SnowEffect, DrawOfMoreThan24000EntersAtTheRightEdge)
{
    Spawn top = SpawnWithEdgeDraw(24000);
    EXPECT_FLOAT_EQ(top.x, top.along / 32767.0f);
    EXPECT_EQ(top.y, 1.0f);
    EXPECT_FLOAT_EQ(top.size, top.sizeDraw / 32767.0f / 28.0f);

    Spawn right = SpawnWithEdgeDraw(24001);
    EXPECT_EQ(right.x, 1.0f);
    EXPECT_FLOAT_EQ(right.y, right.along / 32767.0f);
    EXPECT_FLOAT_EQ(right.size, right.sizeDraw / 32767.0f / 28.0f);
}

TEST(SnowEffect, FlakesFallAndDriftLeftFromWhereTheyEntered)
{
    auto snow = StartedSnow(60000);
    TrianglesIn(61000, *snow);
    float spawnX[7], spawnY[7];
    for (int i = 0; i < 7; ++i) spawnX[i] = snow->spawnX[i], spawnY[i] = snow->spawnY[i];
    TrianglesIn(62000, *snow);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(snow->spawnTime[i], 61000.0f) << "a falling flake is not respawned";
        EXPECT_LT(snow->posX[i], spawnX[i]);
        EXPECT_LT(snow->posY[i], spawnY[i]);
        float drop = (1000.0f / 340.0f) * (snow->size[i] + 0.05f);
        EXPECT_NEAR(snow->posY[i], spawnY[i] - drop, 1e-5);
    }

    // The triangle stands on the flake's place: the upper-left half of its square.
    auto vertices = recorder::CallsNamed("glVertex3f");
    auto coords = recorder::CallsNamed("glTexCoord2f");
    float x = snow->posX[6], y = snow->posY[6], w = snow->size[6];
    EXPECT_EQ(vertices[18].args, (std::vector<double>{x, y, 1}));
    EXPECT_EQ(vertices[19].args, (std::vector<double>{x, y + w, 1}));
    EXPECT_EQ(vertices[20].args, (std::vector<double>{x + w, y + w, 1}));
    EXPECT_EQ(coords[18].args, (std::vector<double>{0, 0}));
    EXPECT_EQ(coords[19].args, (std::vector<double>{0, 1}));
    EXPECT_EQ(coords[20].args, (std::vector<double>{1, 1}));
}

TEST(SnowEffect, DrawsAddedInsideTheLetterboxAndRestoresWhatItSaved)
{
    auto snow = StartedSnow(60000);
    recorder::Reset();
    snow->RenderFrame(63000);
    const auto& calls = recorder::Calls();
    std::vector<std::string> names = recorder::Names();
    std::vector<std::string> setUp(names.begin(), names.begin() + 15);
    EXPECT_EQ(setUp, (std::vector<std::string>{"glPushAttrib", "glEnable", "glBlendFunc", "glScissor", "glEnable",
                                               "glEnable", "glDepthFunc", "glEnable", "glBindTexture",
                                               "glMatrixMode", "glPushMatrix", "glLoadIdentity", "glOrtho",
                                               "glMatrixMode", "glLoadIdentity"}));
    EXPECT_EQ(calls[0].Arg(0), 0x6108);
    EXPECT_EQ(calls[1].Arg(0), GL_BLEND);
    EXPECT_EQ(calls[2].args, (std::vector<double>{GL_SRC_COLOR, GL_ONE}));
    EXPECT_EQ(calls[3].args, (std::vector<double>{0, 96, 640, 288}));
    EXPECT_EQ(calls[4].Arg(0), GL_SCISSOR_TEST);
    EXPECT_EQ(calls[5].Arg(0), GL_DEPTH_TEST);
    EXPECT_EQ(calls[6].Arg(0), GL_LEQUAL);
    EXPECT_EQ(calls[7].Arg(0), GL_TEXTURE_2D);
    EXPECT_EQ(calls[8].args, (std::vector<double>{GL_TEXTURE_2D, double(snow->texture)}));
    EXPECT_EQ(calls[9].Arg(0), GL_PROJECTION);
    EXPECT_EQ(calls[12].args, (std::vector<double>{0, 1, 0, 1, -1, 1}));
    EXPECT_EQ(calls[13].Arg(0), GL_MODELVIEW);
    EXPECT_EQ(calls[15].args, (std::vector<double>{0, 0, -0.1f}));
    EXPECT_EQ(calls[16].name, "glColor4f");
    EXPECT_EQ(calls[16].args, (std::vector<double>{1, 1, 1, 1}));  // alpha: whole seconds of age over two
    EXPECT_EQ(recorder::Count("glTexEnvi"), 0u) << "the texture environment is left as found";

    std::vector<std::string> tail(names.end() - 3, names.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"glMatrixMode", "glPopMatrix", "glPopAttrib"}));
    EXPECT_EQ(calls[calls.size() - 3].Arg(0), GL_PROJECTION);
}

TEST(SnowEffect, TextureIsLoadedUploadedAndDeleted)
{
    recorder::Reset();
    recorder::SetExtension(DEMOGL_EXT_MULTITEXTURE, true);
    auto snow = std::make_unique<CSnowEffect>();
    snow->Init(800, 600);
    snow->Prepare();
    auto load = recorder::CallsNamed("DEMOGL_TextureLoad").at(0);
    EXPECT_EQ(load.text, "demotex\\flocon.tga");
    EXPECT_EQ(load.args, (std::vector<double>{3, 0, 0x2901, 0x2901, 0x2601, 0x2601, 0, 0, 0, 0, 2}));
    EXPECT_EQ(recorder::CallsNamed("DEMOGL_TextureUpload").at(0).Arg(0), snow->texture);
    EXPECT_EQ(recorder::Count("wglGetProcAddress"), 2u);
    EXPECT_EQ(recorder::Count("DEMOGL_ExtensionCheckIfAvailable"), 2u);

    recorder::Reset();
    snow->End();
    EXPECT_EQ(recorder::Names(), std::vector<std::string>{"DEMOGL_TextureDelete"});
    EXPECT_EQ(recorder::Calls()[0].Arg(0), snow->texture);
}

}  // namespace
