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
}

TEST(StarEffect, FadesInOverExactlyOneSecondAndTwinklesEachOnItsOwnPhase)
{
    auto stars = StartedStars(5000);
    for (auto [age, level] : {std::pair{500, 0.5f}, std::pair{1000, 1.0f}, std::pair{2300, 1.0f}}) {
        recorder::Frame(*stars, 5000 + age);
        auto colours = recorder::CallsNamed("glColor4f");
        auto vertices = recorder::CallsNamed("glVertex3f");
        for (int star : {0, 499}) {
            SCOPED_TRACE(testing::Message() << "star " << star << " at age " << age);
            EXPECT_FLOAT_EQ(colours[star].Arg(0), std::fabs(std::sin(static_cast<float>(star) + age / 500.0f)) * level);
            EXPECT_FLOAT_EQ(colours[star].Arg(3), age / 1000.0f);
            // The diagonal of the half square stays centred on the star's place as it turns.
            EXPECT_NEAR((vertices[3 * star].Arg(0) + vertices[3 * star + 2].Arg(0)) / 2, stars->posX[star], 1e-6);
            EXPECT_NEAR((vertices[3 * star].Arg(1) + vertices[3 * star + 2].Arg(1)) / 2, stars->posY[star], 1e-6);
        }
    }
}

TEST(StarEffect, SetsUpTheSameOverlayAsTheSnow)
{
    auto stars = StartedStars(5000);
    std::string starSetUp = recorder::Transcript(1);  // after its own picture
    recorder::Reset();
    auto snow = std::make_unique<CSnowEffect>();
    snow->Init(640, 480);  // texture 1, as the stars'
    snow->RenderFrame(5000);
    std::string snowSetUp = recorder::Transcript(1);
    snowSetUp = snowSetUp.substr(0, snowSetUp.find(" glColor4f"));
    EXPECT_EQ(starSetUp.substr(0, snowSetUp.size() + 9), snowSetUp + " glBegin(") << "colour inside each triangle";
    EXPECT_EQ(recorder::Calls().back().name, "glPopAttrib");
}

}  // namespace
