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
    recorder::Frame(cube, time);
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

TEST(CubeEffect, AFirstFrameBefore33SecondsIsAnEarlyStartAndAnglesTurnADegreePer10Ms)
{
    for (auto [firstFrame, early] : {std::pair{32999, true}, std::pair{33000, false}}) {
        CCubeEffect cube;
        Start(cube, true, true);
        cube.RenderFrame(firstFrame);
        cube.RenderFrame(firstFrame < 33000 ? 50000 : 20000);  // later frames do not change the verdict
        EXPECT_EQ(cube.earlyStart, early) << firstFrame;
    }

    CCubeEffect cube;
    Start(cube, false, false);
    cube.RenderFrame(10000);
    for (auto [time, angle] : {std::pair{13605, 0}, std::pair{13615, 1}, std::pair{14599, 99}}) {
        recorder::Frame(cube, time);
        std::string rotations;
        for (const auto& rotation : recorder::CallsNamed("glRotatef"))
            for (double arg : rotation.args) rotations += std::to_string(int(arg)) + " ";
        const std::string a = std::to_string(angle);
        EXPECT_EQ(rotations, a + " 1 0 0 " + a + " 0 1 0 " + a + " 0 0 1 ") << "at " << time;
    }
}

// The last colour of the frame drawn 2 s after the first, then the pictures of its two passes.
std::vector<double> ColourAndTextures(bool multitexture, bool textureAdd, LONG firstFrame)
{
    CCubeEffect cube;
    Start(cube, multitexture, textureAdd);
    cube.RenderFrame(firstFrame);
    recorder::Frame(cube, firstFrame + 2000);
    std::vector<double> seen = recorder::CallsNamed("glColor4f").back().args;
    for (const auto& bind : recorder::CallsNamed("glBindTexture")) seen.push_back(bind.Arg(1));
    return seen;
}

TEST(CubeEffect, ColourAndBasePictureFollowTheHostsExtensions)
{
    using Doubles = std::vector<double>;
    EXPECT_EQ(ColourAndTextures(true, true, 40000), (Doubles{0.5, 0, 0.25, 1, 2, 2}));
    EXPECT_EQ(ColourAndTextures(true, true, 20000), (Doubles{0.5, 0.5, 0.5, 1, 2, 2})) << "an early start";
    EXPECT_EQ(ColourAndTextures(false, true, 40000), (Doubles{0.5, 0.5, 0.5, 1, 1, 2}));
    EXPECT_EQ(ColourAndTextures(true, false, 40000), (Doubles{0.5, 0.5, 0.5, 1, 1, 2}));
}

TEST(CubeEffect, DrawsTwoPassesAndRestoresItsEnablesAndMatrix)
{
    CCubeEffect cube;
    Start(cube, true, true);
    recorder::Frame(cube, 50000);
    const std::string transcript = recorder::Transcript();
    EXPECT_EQ(transcript.rfind("glPushAttrib(8192) ", 0), 0u) << transcript.substr(0, 40);
    EXPECT_EQ(transcript.substr(transcript.size() - 23), "glPopMatrix glPopAttrib");
    EXPECT_EQ(recorder::Count("glBegin"), 12u);
    auto blends = recorder::CallsNamed("glBlendFunc");
    ASSERT_EQ(blends.size(), 2u);
    EXPECT_EQ(blends[1].args, (std::vector<double>{GL_SRC_ALPHA, GL_ONE})) << "the reflection is added";
}

}  // namespace
