// The cube's fade, flight and tumble, its two colour paths, and the GL state it leaves.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>

#include "effects/cube.h"
#include "tests/support/recorder.h"

namespace {

// A cube prepared with the host answering the two extension questions as given.
void Start(CCubeEffect& cube, bool multitexture, bool textureAdd)
{
    recorder::Reset();
    recorder::SetExtension(DEMOGL_EXT_MULTITEXTURE, multitexture);
    recorder::SetExtension(DEMOGL_EXT_TEXTURE_ENV_ADD, textureAdd);
    cube.Init(640, 480);
    cube.Prepare();
}

// The depth the cube was placed at in the last frame drawn.
float DepthOf(LONG time, CCubeEffect& cube)
{
    recorder::Reset();
    cube.RenderFrame(time);
    return static_cast<float>(recorder::CallsNamed("glTranslatef").at(0).Arg(2));
}

TEST(CubeEffect, FadesInWhileFlyingInThenHolds)
{
    CCubeEffect cube;
    Start(cube, false, false);
    EXPECT_FLOAT_EQ(DepthOf(40000, cube), -5.0f);
    EXPECT_FLOAT_EQ(cube.fade, 0.0f);
    EXPECT_FLOAT_EQ(DepthOf(42000, cube), -3.0f);
    EXPECT_FLOAT_EQ(cube.fade, 0.5f);
    EXPECT_FLOAT_EQ(DepthOf(43000, cube), -2.0f);
    EXPECT_FLOAT_EQ(DepthOf(44000, cube), -2.0f);
    EXPECT_FLOAT_EQ(cube.fade, 1.0f);
    EXPECT_FLOAT_EQ(DepthOf(60000, cube), -2.0f);
    EXPECT_FLOAT_EQ(cube.fade, 1.0f) << "the fade must not run past full";
    auto colour = recorder::CallsNamed("glColor4f").back();
    EXPECT_EQ(colour.args, (std::vector<double>{1, 1, 1, 1}));
}

TEST(CubeEffect, FadesOutAndRecedesAfter91Seconds)
{
    CCubeEffect cube;
    Start(cube, false, false);
    DepthOf(40000, cube);
    EXPECT_FLOAT_EQ(DepthOf(91000, cube), -2.0f);
    EXPECT_FLOAT_EQ(cube.fade, 1.0f);
    EXPECT_NEAR(DepthOf(93000, cube), -2.0f - 4.0f / 3.0f, 1e-5);
    EXPECT_FLOAT_EQ(cube.fade, 0.5f);
    EXPECT_NEAR(DepthOf(95000, cube), -2.0f - 8.0f / 3.0f, 1e-5);
    EXPECT_NEAR(cube.fade, 0.0f, 1e-6);
    DepthOf(97000, cube);
    EXPECT_FLOAT_EQ(cube.fade, -0.5f) << "the fade-out goes below zero; GL shows that as black";
}

TEST(CubeEffect, AFirstFrameBefore33SecondsIsAnEarlyStart)
{
    CCubeEffect early, onTime;
    Start(early, true, true);
    early.RenderFrame(32999);
    Start(onTime, true, true);
    onTime.RenderFrame(33000);
    EXPECT_TRUE(early.earlyStart);
    EXPECT_FALSE(onTime.earlyStart);

    // Later frames do not change it.
    early.RenderFrame(50000);
    onTime.RenderFrame(20000);
    EXPECT_TRUE(early.earlyStart);
    EXPECT_FALSE(onTime.earlyStart);
}

TEST(CubeEffect, AllThreeAnglesTurnOneDegreePerTenMilliseconds)
{
    CCubeEffect cube;
    Start(cube, false, false);
    cube.RenderFrame(10000);
    for (auto [time, angle] : {std::pair{13605, 0}, std::pair{13615, 1}, std::pair{10359, 35}, std::pair{14599, 99}}) {
        recorder::Reset();
        cube.RenderFrame(time);
        auto rotations = recorder::CallsNamed("glRotatef");
        ASSERT_EQ(rotations.size(), 3u);
        EXPECT_EQ(rotations[0].args, (std::vector<double>{double(angle), 1, 0, 0})) << "at " << time;
        EXPECT_EQ(rotations[1].args, (std::vector<double>{double(angle), 0, 1, 0}));
        EXPECT_EQ(rotations[2].args, (std::vector<double>{double(angle), 0, 0, 1}));
    }
}

// The colour set before the first face, and the textures bound for the two passes.
struct Passes {
    std::vector<double> colour;
    std::vector<double> textures;
};

Passes DrawOnce(CCubeEffect& cube, LONG time)
{
    recorder::Reset();
    cube.RenderFrame(time);
    Passes passes;
    passes.colour = recorder::CallsNamed("glColor4f").back().args;
    for (const auto& bind : recorder::CallsNamed("glBindTexture")) passes.textures.push_back(bind.Arg(1));
    return passes;
}

TEST(CubeEffect, TintedPathUsesTheEnvironmentInBothPasses)
{
    CCubeEffect late;
    Start(late, true, true);  // grepalm is texture 1, envmap 2
    late.RenderFrame(40000);
    Passes tinted = DrawOnce(late, 42000);
    EXPECT_EQ(tinted.colour, (std::vector<double>{0.5, 0, 0.25, 1}));
    EXPECT_EQ(tinted.textures, (std::vector<double>{2, 2}));

    CCubeEffect early;
    Start(early, true, true);
    early.RenderFrame(20000);
    Passes neutral = DrawOnce(early, 22000);
    EXPECT_EQ(neutral.colour, (std::vector<double>{0.5, 0.5, 0.5, 1}));
    EXPECT_EQ(neutral.textures, (std::vector<double>{2, 2}));
}

TEST(CubeEffect, PlainPathUsesThePalmPictureUnderTheReflection)
{
    for (auto [multitexture, textureAdd] : {std::pair{false, true}, std::pair{true, false}}) {
        CCubeEffect cube;
        Start(cube, multitexture, textureAdd);
        EXPECT_FALSE(cube.extensionAvailable);
        cube.RenderFrame(40000);
        Passes plain = DrawOnce(cube, 42000);
        EXPECT_EQ(plain.colour, (std::vector<double>{0.5, 0.5, 0.5, 1}));
        EXPECT_EQ(plain.textures, (std::vector<double>{1, 2}));
    }
}

TEST(CubeEffect, ProbesTextureAddOnlyWithMultitexture)
{
    CCubeEffect without;
    Start(without, false, true);
    EXPECT_EQ(recorder::Count("wglGetProcAddress"), 0u);
    EXPECT_EQ(recorder::CallsNamed("DEMOGL_ExtensionCheckIfAvailable").size(), 1u);
    EXPECT_EQ(without.activeTextureProc, nullptr);

    CCubeEffect with;
    Start(with, true, true);
    auto lookups = recorder::CallsNamed("wglGetProcAddress");
    ASSERT_EQ(lookups.size(), 2u);
    EXPECT_EQ(lookups[0].text, "glActiveTextureARB");
    EXPECT_EQ(lookups[1].text, "glMultiTexCoord2fARB");
    EXPECT_NE(with.activeTextureProc, nullptr);
    EXPECT_NE(with.multiTexCoordProc, nullptr);
    EXPECT_TRUE(with.extensionAvailable);

    // A later Prepare that finds less keeps the tinted path.
    recorder::SetExtension(DEMOGL_EXT_MULTITEXTURE, false);
    with.Prepare();
    EXPECT_TRUE(with.extensionAvailable);
}

TEST(CubeEffect, LoadsAndDeletesItsOwnTwoPictures)
{
    CCubeEffect cube;
    Start(cube, false, false);
    auto loads = recorder::CallsNamed("DEMOGL_TextureLoad");
    ASSERT_EQ(loads.size(), 2u);
    EXPECT_EQ(loads[0].text, "demotex\\grepalm.tga");
    EXPECT_EQ(loads[0].args, (std::vector<double>{3, 0, 0x2901, 0x2901, 0x2601, 0x2601, 0, 0, 0, 0, 2}));
    EXPECT_EQ(loads[1].text, "demotex\\envmap.tga");
    EXPECT_EQ(loads[1].Arg(9), 0x8057);
    auto uploads = recorder::CallsNamed("DEMOGL_TextureUpload");
    ASSERT_EQ(uploads.size(), 2u);
    EXPECT_EQ(uploads[0].Arg(0), cube.baseTexture);
    EXPECT_EQ(uploads[1].Arg(0), cube.envTexture);

    recorder::Reset();
    cube.End();
    EXPECT_EQ(recorder::Names(), (std::vector<std::string>{"DEMOGL_TextureDelete", "DEMOGL_TextureDelete"}));
    EXPECT_EQ(recorder::Calls()[0].Arg(0), 1);
    EXPECT_EQ(recorder::Calls()[1].Arg(0), 2);
}

// Every face must face outward and be a square of edge 0.2, or the sphere map and the culling-free
// depth test show the wrong side.
TEST(CubeEffect, FacesAreOutwardSquaresAroundTheCubeCentre)
{
    CCubeEffect cube;
    Start(cube, false, false);
    const float centre[3] = {0, 0, -0.8f};
    for (int f = 0; f < 6; ++f) {
        float middle[3] = {0, 0, 0};
        for (int corner = 0; corner < 4; ++corner)
            for (int axis = 0; axis < 3; ++axis) middle[axis] += cube.vertices[cube.faces[f][corner]][axis] / 4;
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_NEAR(middle[axis] - centre[axis], 0.1f * cube.normals[f][axis], 1e-6) << "face " << f;
        for (int corner = 0; corner < 4; ++corner) {
            const float* a = cube.vertices[cube.faces[f][corner]];
            const float* b = cube.vertices[cube.faces[f][(corner + 1) % 4]];
            float edge = std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                                   (a[2] - b[2]) * (a[2] - b[2]));
            EXPECT_NEAR(edge, 0.2f, 1e-6) << "face " << f << " corner " << corner;
        }
    }
}

TEST(CubeEffect, DrawsTwoPassesOfSixQuadsAndRestoresItsEnables)
{
    CCubeEffect cube;
    Start(cube, true, true);
    recorder::Reset();
    cube.RenderFrame(50000);

    auto names = recorder::Names();
    ASSERT_GE(names.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 6),
              (std::vector<std::string>{"glPushAttrib", "glEnable", "glDepthFunc", "glMatrixMode", "glPushMatrix",
                                        "glLoadIdentity"}));
    EXPECT_EQ(recorder::Calls()[0].Arg(0), GL_ENABLE_BIT);
    EXPECT_EQ(recorder::Calls()[1].Arg(0), GL_DEPTH_TEST);
    EXPECT_EQ(recorder::Calls()[2].Arg(0), GL_LEQUAL);
    EXPECT_EQ(recorder::Calls()[3].Arg(0), GL_MODELVIEW);
    EXPECT_EQ(std::vector<std::string>(names.end() - 2, names.end()),
              (std::vector<std::string>{"glPopMatrix", "glPopAttrib"}));

    auto begins = recorder::CallsNamed("glBegin");
    ASSERT_EQ(begins.size(), 12u);
    for (const auto& begin : begins) EXPECT_EQ(begin.Arg(0), GL_QUADS);
    EXPECT_EQ(recorder::Count("glVertex3fv"), 48u);
    EXPECT_EQ(recorder::Count("glNormal3fv"), 12u);

    // The reflection pass is additive with generated coordinates, set up between the passes.
    auto blends = recorder::CallsNamed("glBlendFunc");
    ASSERT_EQ(blends.size(), 2u);
    EXPECT_EQ(blends[0].args, (std::vector<double>{GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR}));
    EXPECT_EQ(blends[1].args, (std::vector<double>{GL_SRC_ALPHA, GL_ONE}));
    for (const auto& generation : recorder::CallsNamed("glTexGeni")) EXPECT_EQ(generation.Arg(2), GL_SPHERE_MAP);
    size_t sixthEnd = 0, seen = 0;
    for (size_t i = 0; i < names.size() && seen < 6; ++i)
        if (names[i] == "glEnd" && ++seen == 6) sixthEnd = i;
    size_t firstGenerate = 0;
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == "glEnable" && recorder::Calls()[i].Arg(0) == GL_TEXTURE_GEN_S) firstGenerate = i;
    EXPECT_GT(firstGenerate, sixthEnd) << "the base pass must keep its explicit coordinates";
}

TEST(CubeEffect, InstancesKeepTheirOwnClocks)
{
    CCubeEffect first, second;
    Start(first, true, true);
    Start(second, true, true);
    first.RenderFrame(20000);
    first.RenderFrame(22000);
    second.RenderFrame(40000);
    EXPECT_EQ(first.startTime, 20000);
    EXPECT_EQ(second.startTime, 40000);
    EXPECT_TRUE(first.earlyStart);
    EXPECT_FALSE(second.earlyStart);
    EXPECT_FLOAT_EQ(first.fade, 0.5f);
    EXPECT_FLOAT_EQ(second.fade, 0.0f);
    EXPECT_EQ(first.angleX, 200);
    EXPECT_EQ(second.angleX, 0);
}

}  // namespace
