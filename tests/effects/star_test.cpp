// The star field: spawned once on its first frame, its fade-in, twinkle and spin.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <memory>

#include "effects/snow.h"
#include "effects/star.h"
#include "host/random.h"
#include "tests/support/recorder.h"

namespace {

std::unique_ptr<CStarEffect> PreparedStars()
{
    recorder::Reset();
    auto stars = std::make_unique<CStarEffect>();
    stars->Init(640, 480);
    stars->Prepare();
    return stars;
}

TEST(StarEffect, FirstFrameSpawns500StarsWith1500DrawsAllBlack)
{
    DemoSeedRandom(1234);
    std::vector<int> draws;
    for (int i = 0; i < 1501; ++i) draws.push_back(DemoRandom());
    DemoSeedRandom(1234);

    auto stars = PreparedStars();
    recorder::Reset();
    stars->RenderFrame(5000);
    EXPECT_EQ(DemoRandom(), draws[1500]) << "exactly three draws per star";
    EXPECT_EQ(stars->liveCount, 500);
    EXPECT_EQ(recorder::Count("glBegin"), 500u);

    for (int i = 0; i < 500; ++i) {
        ASSERT_FLOAT_EQ(stars->spawnX[i], draws[3 * i] / 32767.0f);
        ASSERT_FLOAT_EQ(stars->spawnY[i], draws[3 * i + 1] / 32767.0f * 8 / 10 + 0.1f);
        ASSERT_FLOAT_EQ(stars->size[i], draws[3 * i + 2] / 32767.0f / 18);
        ASSERT_EQ(stars->posX[i], stars->spawnX[i]);
        ASSERT_EQ(stars->posY[i], stars->spawnY[i]);
        ASSERT_EQ(stars->spawnTime[i], 5000.0f);
    }
    for (int i = 500; i < 3000; ++i) ASSERT_EQ(stars->posX[i], -1.0f) << "slots past 500 stay unused";
    for (const auto& colour : recorder::CallsNamed("glColor4f"))
        ASSERT_EQ(colour.args, (std::vector<double>{0, 0, 0, 0}));
}

TEST(StarEffect, LaterFramesKeepTheFieldAndDrawNothingFromTheGenerator)
{
    auto stars = PreparedStars();
    stars->RenderFrame(5000);
    float x = stars->posX[123], y = stars->posY[123], size = stars->size[123];
    DemoSeedRandom(99);
    int next = DemoRandom();
    DemoSeedRandom(99);
    stars->RenderFrame(9000);
    stars->RenderFrame(60000);
    EXPECT_EQ(DemoRandom(), next);
    EXPECT_EQ(stars->posX[123], x);
    EXPECT_EQ(stars->posY[123], y);
    EXPECT_EQ(stars->size[123], size);
}

// The grey level of star i in the frame at the given time.
std::vector<double> ColourOf(int star, LONG time, CStarEffect& stars)
{
    recorder::Reset();
    stars.RenderFrame(time);
    return recorder::CallsNamed("glColor4f").at(star).args;
}

TEST(StarEffect, FadesInOverExactlyOneSecondAndTwinkles)
{
    auto stars = PreparedStars();
    stars->RenderFrame(5000);
    for (auto [age, level] : {std::pair{250, 0.25f}, std::pair{500, 0.5f}, std::pair{1000, 1.0f},
                              std::pair{1001, 1.0f}, std::pair{4000, 1.0f}}) {
        for (int star : {0, 1, 499}) {
            float twinkle = std::fabs(std::sin(static_cast<float>(star) + age / 500.0f));
            auto colour = ColourOf(star, 5000 + age, *stars);
            EXPECT_FLOAT_EQ(colour[0], twinkle * level) << "star " << star << " at age " << age;
            EXPECT_EQ(colour[0], colour[1]);
            EXPECT_EQ(colour[0], colour[2]);
            EXPECT_FLOAT_EQ(colour[3], age / 1000.0f);
        }
    }
    // Star 0 goes dark once per half turn of its phase.
    EXPECT_NEAR(ColourOf(0, 5000 + 1571, *stars)[0], 0.0, 2e-3);
}

TEST(StarEffect, EachStarIsAHalfSquareTurningAboutItsPlace)
{
    auto stars = PreparedStars();
    stars->RenderFrame(5000);
    for (LONG age : {0, 700, 2300}) {
        recorder::Reset();
        stars->RenderFrame(5000 + age);
        auto vertices = recorder::CallsNamed("glVertex3f");
        auto coords = recorder::CallsNamed("glTexCoord2f");
        ASSERT_EQ(vertices.size(), 1500u);
        for (int star : {0, 42, 499}) {
            float x = stars->posX[star], y = stars->posY[star], half = stars->size[star] / 2;
            float spin = age / (stars->size[star] * 1500 + 1000);
            const auto& a = vertices[3 * star].args;
            const auto& b = vertices[3 * star + 1].args;
            const auto& c = vertices[3 * star + 2].args;
            // Corners 1 and 3 are opposite ends of a diameter through the place; corner 2 is on top
            // when unturned and moves clockwise.
            EXPECT_NEAR((a[0] + c[0]) / 2, x, 1e-6);
            EXPECT_NEAR((a[1] + c[1]) / 2, y, 1e-6);
            EXPECT_NEAR(b[0], x + std::sin(spin) * half, 1e-6);
            EXPECT_NEAR(b[1], y + std::cos(spin) * half, 1e-6);
            EXPECT_NEAR(a[0], x - std::cos(spin) * half, 1e-6);
            EXPECT_EQ(a[2], 1.0);
            EXPECT_EQ(coords[3 * star].args, (std::vector<double>{0, 0}));
            EXPECT_EQ(coords[3 * star + 1].args, (std::vector<double>{0, 1}));
            EXPECT_EQ(coords[3 * star + 2].args, (std::vector<double>{1, 1}));
        }
    }
}

TEST(StarEffect, SetsUpTheSameOverlayAsTheSnow)
{
    auto stars = PreparedStars();
    recorder::Reset();
    stars->RenderFrame(5000);
    auto starCalls = recorder::Calls();

    recorder::Reset();
    auto snow = std::make_unique<CSnowEffect>();
    snow->Init(640, 480);  // texture 1, as the stars'
    recorder::Reset();
    snow->RenderFrame(5000);
    auto snowCalls = recorder::Calls();

    ASSERT_GT(starCalls.size(), 16u);
    for (size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(starCalls[i].name, snowCalls[i].name) << i;
        EXPECT_EQ(starCalls[i].args, snowCalls[i].args) << i;
    }
    EXPECT_EQ(starCalls[0].Arg(0), 0x6108);
    EXPECT_EQ(starCalls[3].args, (std::vector<double>{0, 96, 640, 288}));
    EXPECT_EQ(starCalls[16].name, "glBegin") << "the colour is set inside each star's triangle";
    EXPECT_EQ(starCalls[17].name, "glColor4f");
    std::vector<std::string> names = recorder::Names();
    EXPECT_EQ(std::vector<std::string>(names.end() - 3, names.end()),
              (std::vector<std::string>{"glMatrixMode", "glPopMatrix", "glPopAttrib"}));
}

TEST(StarEffect, TextureIsLoadedUploadedAndDeleted)
{
    recorder::Reset();
    auto stars = std::make_unique<CStarEffect>();
    stars->Init(640, 480);
    stars->Prepare();
    auto load = recorder::CallsNamed("DEMOGL_TextureLoad").at(0);
    EXPECT_EQ(load.text, "demotex\\star.tga");
    EXPECT_EQ(load.args, (std::vector<double>{3, 0, 0x2901, 0x2901, 0x2601, 0x2601, 0, 0, 0, 0, 2}));
    EXPECT_EQ(recorder::Count("wglGetProcAddress"), 0u) << "no multitexturing, no entry points";
    EXPECT_EQ(stars->activeTextureProc, nullptr);
    recorder::Reset();
    stars->End();
    EXPECT_EQ(recorder::CallsNamed("DEMOGL_TextureDelete").at(0).Arg(0), stars->texture);
}

}  // namespace
