// The star field: spawned once on its first frame, its fade-in and twinkle, its overlay.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "effects/snow.h"
#include "effects/star.h"
#include "host/random.h"
#include "tests/support/recorder.h"

namespace {

std::unique_ptr<CStarEffect> StartedStars(LONG firstFrame)
{
    recorder::Reset();
    auto stars = std::make_unique<CStarEffect>();
    stars->Init(640, 480);
    stars->RenderFrame(firstFrame);
    return stars;
}

TEST(StarEffect, FirstFrameSpawns500StarsWith1500DrawsAllBlackAndNoneLater)
{
    DemoSeedRandom(1234);
    std::vector<int> draws;
    for (int i = 0; i < 1501; ++i) draws.push_back(DemoRandom());
    DemoSeedRandom(1234);

    auto stars = StartedStars(5000);
    EXPECT_EQ(recorder::Count("glBegin"), 500u);
    for (const auto& colour : recorder::CallsNamed("glColor4f"))
        ASSERT_EQ(colour.args, (std::vector<double>{0, 0, 0, 0}));
    for (int i = 0; i < 500; ++i) {
        ASSERT_FLOAT_EQ(stars->spawnX[i], draws[3 * i] / 32767.0f);
        ASSERT_FLOAT_EQ(stars->spawnY[i], draws[3 * i + 1] / 32767.0f * 8 / 10 + 0.1f);
        ASSERT_FLOAT_EQ(stars->size[i], draws[3 * i + 2] / 32767.0f / 18);
    }
    stars->RenderFrame(9000);
    stars->RenderFrame(60000);
    EXPECT_EQ(DemoRandom(), draws[1500]) << "three draws per star, on the first frame only";
    EXPECT_FLOAT_EQ(stars->posX[499], draws[1497] / 32767.0f);
}

TEST(StarEffect, FadesInOverExactlyOneSecondAndTwinkles)
{
    auto stars = StartedStars(5000);
    for (auto [age, level] : {std::pair{500, 0.5f}, std::pair{1000, 1.0f}, std::pair{4000, 1.0f}}) {
        recorder::Reset();
        stars->RenderFrame(5000 + age);
        auto colours = recorder::CallsNamed("glColor4f");
        for (int star : {0, 1, 499}) {
            float twinkle = std::fabs(std::sin(static_cast<float>(star) + age / 500.0f));
            EXPECT_FLOAT_EQ(colours[star].Arg(0), twinkle * level) << "star " << star << " at age " << age;
            EXPECT_FLOAT_EQ(colours[star].Arg(3), age / 1000.0f);
        }
    }
}

TEST(StarEffect, EachStarIsAHalfSquareTurningAboutItsPlace)
{
    auto stars = StartedStars(5000);
    recorder::Reset();
    stars->RenderFrame(7300);
    auto vertices = recorder::CallsNamed("glVertex3f");
    for (int star : {0, 42, 499}) {
        float x = stars->posX[star], y = stars->posY[star], half = stars->size[star] / 2;
        float spin = 2300 / (stars->size[star] * 1500 + 1000);
        const auto& a = vertices[3 * star].args;
        const auto& b = vertices[3 * star + 1].args;
        const auto& c = vertices[3 * star + 2].args;
        EXPECT_NEAR((a[0] + c[0]) / 2, x, 1e-6);
        EXPECT_NEAR((a[1] + c[1]) / 2, y, 1e-6);
        EXPECT_NEAR(b[0], x + std::sin(spin) * half, 1e-6);
        EXPECT_NEAR(b[1], y + std::cos(spin) * half, 1e-6);
    }
}

TEST(StarEffect, SetsUpTheSameOverlayAsTheSnow)
{
    auto stars = StartedStars(5000);
    auto starCalls = recorder::Calls();
    recorder::Reset();
    auto snow = std::make_unique<CSnowEffect>();
    snow->Init(640, 480);  // texture 1, as the stars'
    snow->RenderFrame(5000);
    auto snowCalls = recorder::Calls();
    for (size_t i = 1; i < 17; ++i) {
        EXPECT_EQ(starCalls[i].name, snowCalls[i].name) << i;
        EXPECT_EQ(starCalls[i].args, snowCalls[i].args) << i;
    }
    EXPECT_EQ(starCalls[17].name, "glBegin") << "the colour is set inside each star's triangle";
    EXPECT_EQ(starCalls.back().name, "glPopAttrib");
}

}  // namespace
