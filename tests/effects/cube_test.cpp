// The cube's fade, flight and tumble, its two colour paths, and the GL state it leaves.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "effects/cube.h"
#include "tests/support/recorder.h"

namespace {

// A cube prepared with the host answering the two extension questions as given; its pictures are
// textures 1 (palm) and 2 (chrome).
void Start(CCubeEffect& cube, bool multitexture, bool textureAdd)
{
    recorder::Reset();
    recorder::SetExtension(DEMOGL_EXT_MULTITEXTURE, multitexture);
    recorder::SetExtension(DEMOGL_EXT_TEXTURE_ENV_ADD, textureAdd);
    cube.Init(640, 480);
    cube.Prepare();
}

// Draws a frame; returns the depth the cube was placed at.
float DepthOf(LONG time, CCubeEffect& cube)
{
    recorder::Reset();
    cube.RenderFrame(time);
    return static_cast<float>(recorder::CallsNamed("glTranslatef").at(0).Arg(2));
}

TEST(CubeEffect, FliesInFadesInThenFadesOutAndRecedesAfter91Seconds)
{
    CCubeEffect cube;
    Start(cube, false, false);
    const std::pair<LONG, std::pair<float, float>> frames[] = {
        {40000, {-5.0f, 0.0f}}, {42000, {-3.0f, 0.5f}}, {43000, {-2.0f, 0.75f}}, {44000, {-2.0f, 1.0f}},
        {60000, {-2.0f, 1.0f}}, {91000, {-2.0f, 1.0f}}, {93000, {-2.0f - 4.0f / 3, 0.5f}},
        {95000, {-2.0f - 8.0f / 3, 0.0f}}, {97000, {-6.0f, -0.5f}},  // below zero: GL shows black
    };
    for (const auto& [time, expected] : frames) {
        EXPECT_NEAR(DepthOf(time, cube), expected.first, 1e-5) << "at " << time;
        EXPECT_NEAR(cube.fade, expected.second, 1e-6) << "at " << time;
    }
}

TEST(CubeEffect, AFirstFrameBefore33SecondsIsAnEarlyStart)
{
    CCubeEffect early, onTime;
    Start(early, true, true);
    early.RenderFrame(32999);
    early.RenderFrame(50000);
    Start(onTime, true, true);
    onTime.RenderFrame(33000);
    onTime.RenderFrame(20000);
    EXPECT_TRUE(early.earlyStart);
    EXPECT_FALSE(onTime.earlyStart);
}

TEST(CubeEffect, AllThreeAnglesTurnOneDegreePerTenMilliseconds)
{
    CCubeEffect cube;
    Start(cube, false, false);
    cube.RenderFrame(10000);
    for (auto [time, angle] : {std::pair{13605, 0}, std::pair{13615, 1}, std::pair{14599, 99}}) {
        recorder::Reset();
        cube.RenderFrame(time);
        auto rotations = recorder::CallsNamed("glRotatef");
        ASSERT_EQ(rotations.size(), 3u);
        EXPECT_EQ(rotations[0].args, (std::vector<double>{double(angle), 1, 0, 0})) << "at " << time;
        EXPECT_EQ(rotations[1].args, (std::vector<double>{double(angle), 0, 1, 0}));
        EXPECT_EQ(rotations[2].args, (std::vector<double>{double(angle), 0, 0, 1}));
    }
}

// The colour of the frame drawn 2 s after the first, and the textures of its two passes.
std::pair<std::vector<double>, std::vector<double>> ColourAndTextures(bool multitexture, bool textureAdd,
                                                                      LONG firstFrame)
{
    CCubeEffect cube;
    Start(cube, multitexture, textureAdd);
    cube.RenderFrame(firstFrame);
    recorder::Reset();
    cube.RenderFrame(firstFrame + 2000);
    std::vector<double> textures;
    for (const auto& bind : recorder::CallsNamed("glBindTexture")) textures.push_back(bind.Arg(1));
    return {recorder::CallsNamed("glColor4f").back().args, textures};
}

TEST(CubeEffect, ColourAndBasePictureFollowTheHostsExtensions)
{
    using Doubles = std::vector<double>;
    auto tinted = ColourAndTextures(true, true, 40000);
    EXPECT_EQ(tinted.first, (Doubles{0.5, 0, 0.25, 1}));
    EXPECT_EQ(tinted.second, (Doubles{2, 2}));
    auto neutral = ColourAndTextures(true, true, 20000);
    EXPECT_EQ(neutral.first, (Doubles{0.5, 0.5, 0.5, 1}));
    EXPECT_EQ(neutral.second, (Doubles{2, 2}));
    for (auto [multitexture, textureAdd] : {std::pair{false, true}, std::pair{true, false}}) {
        auto plain = ColourAndTextures(multitexture, textureAdd, 40000);
        EXPECT_EQ(plain.first, (Doubles{0.5, 0.5, 0.5, 1}));
        EXPECT_EQ(plain.second, (Doubles{1, 2}));
    }
}

TEST(CubeEffect, DrawsTwoPassesAndRestoresItsEnablesAndMatrix)
{
    CCubeEffect cube;
    Start(cube, true, true);
    recorder::Reset();
    cube.RenderFrame(50000);
    auto names = recorder::Names();
    EXPECT_EQ(recorder::Calls()[0].name, "glPushAttrib");
    EXPECT_EQ(recorder::Calls()[0].Arg(0), GL_ENABLE_BIT);
    EXPECT_EQ(std::vector<std::string>(names.end() - 2, names.end()),
              (std::vector<std::string>{"glPopMatrix", "glPopAttrib"}));
    EXPECT_EQ(recorder::Count("glBegin"), 12u);
    auto blends = recorder::CallsNamed("glBlendFunc");
    ASSERT_EQ(blends.size(), 2u);
    EXPECT_EQ(blends[1].args, (std::vector<double>{GL_SRC_ALPHA, GL_ONE})) << "the reflection is added";
}

}  // namespace
