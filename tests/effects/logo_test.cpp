// The captions: which picture and band each cycle shows, where, how bright, and the GL state.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>

#include "effects/logo.h"
#include "tests/support/recorder.h"

namespace {

struct Caption {
    unsigned int texture;
    float brightness;
    float left, bottom, right, top;
    float bandBottom, bandTop;
};

class LogoEffectTest : public ::testing::Test {
protected:
    static constexpr LONG kStart = 31000;

    void SetUp() override
    {
        recorder::Reset();
        logo.Init(640, 480);
        At(0);
    }

    // One frame at this many ms after the first.
    Caption At(LONG elapsed)
    {
        recorder::Reset();
        logo.RenderFrame(kStart + elapsed);
        RecordedCall colour = recorder::CallsNamed("glColor4f").at(0);
        EXPECT_EQ(colour.Arg(0), colour.Arg(1));
        EXPECT_EQ(colour.Arg(0), colour.Arg(2));
        std::vector<RecordedCall> vertices = recorder::CallsNamed("glVertex3f");
        std::vector<RecordedCall> texCoords = recorder::CallsNamed("glTexCoord2f");
        EXPECT_EQ(vertices.size(), 4u);
        EXPECT_EQ(texCoords.size(), 4u);
        EXPECT_EQ(texCoords[0].args, (std::vector<double>{0, texCoords[1].Arg(1)})) << "bands span the full width";
        EXPECT_EQ(texCoords[2].Arg(0), 1.0);
        EXPECT_NEAR(vertices[2].Arg(0) - vertices[0].Arg(0), 0.67, 1e-6);
        EXPECT_NEAR(texCoords[2].Arg(1) - texCoords[0].Arg(1), 0.25, 1e-6) << "a band is a quarter of the picture";
        return Caption{unsigned(recorder::CallsNamed("glBindTexture").at(0).Arg(1)),
                       float(colour.Arg(0)),
                       float(vertices[0].Arg(0)),
                       float(vertices[0].Arg(1)),
                       float(vertices[2].Arg(0)),
                       float(vertices[2].Arg(1)),
                       float(texCoords[0].Arg(1)),
                       float(texCoords[2].Arg(1))};
    }

    CLogoEffect logo;
};

TEST_F(LogoEffectTest, FirstCaptionIsTheTopBandOfTheFirstPicture)
{
    Caption first = At(0);
    EXPECT_EQ(first.texture, logo.firstTexture);
    EXPECT_EQ(first.brightness, 0.0f);
    EXPECT_FLOAT_EQ(first.left, 0.03f);
    EXPECT_FLOAT_EQ(first.top, 1.0f);
    EXPECT_FLOAT_EQ(first.bottom, 0.75f);
    EXPECT_FLOAT_EQ(first.bandTop, 1.0f);
    EXPECT_FLOAT_EQ(first.bandBottom, 0.75f);
}

TEST_F(LogoEffectTest, BrightensHoldsThenFadesWhileSlidingRight)
{
    EXPECT_NEAR(At(1500).brightness, 0.5f, 1e-6);
    EXPECT_NEAR(At(3000).brightness, 1.0f, 1e-6);
    Caption holdEnd = At(4000);
    EXPECT_NEAR(holdEnd.brightness, 4.0f / 3.0f, 1e-6) << "the last frame of the hold still uses the rising rule";
    EXPECT_FLOAT_EQ(holdEnd.left, 0.03f);

    Caption slideStart = At(4001);
    EXPECT_NEAR(slideStart.brightness, 1.0f, 1e-3);
    EXPECT_NEAR(slideStart.left, 0.03f, 2e-4) << "no visible jump when the slide begins";

    Caption halfway = At(5500);
    EXPECT_NEAR(halfway.brightness, 0.5f, 1e-6);
    EXPECT_NEAR(halfway.left, 0.23f - 0.2f * std::sin(1.5f / 1.9f), 1e-6);
    EXPECT_NEAR(halfway.left, 0.088f, 1e-3);

    Caption lowerHalfway = At(12500);
    EXPECT_NEAR(lowerHalfway.left, 0.388f, 1e-3);
    EXPECT_FLOAT_EQ(lowerHalfway.top, 0.25f);
    EXPECT_FLOAT_EQ(lowerHalfway.bottom, 0.0f);
}

TEST_F(LogoEffectTest, AWholeCycleEndsTheOneBeforeRatherThanStartingTheNext)
{
    Caption end = At(7000);
    EXPECT_EQ(end.brightness, 0.0f);
    EXPECT_NEAR(end.left, 0.23f, 1e-6);
    EXPECT_FLOAT_EQ(end.top, 1.0f);
    EXPECT_FLOAT_EQ(end.bandTop, 1.0f);

    Caption next = At(7001);
    EXPECT_NEAR(next.brightness, 0.001f / 3, 1e-5);
    EXPECT_NEAR(next.left, 0.33f, 1e-6);
    EXPECT_FLOAT_EQ(next.top, 0.25f);
    EXPECT_FLOAT_EQ(next.bandTop, 0.75f);
    EXPECT_FLOAT_EQ(next.bandBottom, 0.5f);
    EXPECT_EQ(next.texture, logo.firstTexture);
}

TEST_F(LogoEffectTest, SwitchesPictureAfterFourCaptionsAndKeepsTheBandOrder)
{
    Caption fourth = At(28000);
    EXPECT_EQ(fourth.texture, logo.firstTexture);
    EXPECT_EQ(fourth.brightness, 0.0f);
    EXPECT_FLOAT_EQ(fourth.bandTop, 0.25f);
    EXPECT_FLOAT_EQ(fourth.bandBottom, 0.0f);
    EXPECT_FLOAT_EQ(fourth.top, 0.25f);

    Caption fifth = At(28001);
    EXPECT_EQ(fifth.texture, logo.secondTexture);
    EXPECT_NE(logo.firstTexture, logo.secondTexture);
    EXPECT_FLOAT_EQ(fifth.bandTop, 0.0f) << "the repeat in t shows the second picture's top band";
    EXPECT_FLOAT_EQ(fifth.bandBottom, -0.25f);
    EXPECT_FLOAT_EQ(fifth.top, 1.0f);

    Caption eighth = At(50000);
    EXPECT_FLOAT_EQ(eighth.bandBottom, -1.0f);
    EXPECT_FLOAT_EQ(eighth.top, 0.25f);

    Caption ninth = At(56001);
    EXPECT_EQ(ninth.texture, logo.secondTexture);
    EXPECT_FLOAT_EQ(ninth.bandTop, -1.0f) << "cycle 8 shows the band of cycle 4 again";
    EXPECT_FLOAT_EQ(ninth.top, 1.0f);
}

TEST(LogoEffect, LoadsUploadsAndReleasesBothPicturesInOrder)
{
    recorder::Reset();
    CLogoEffect logo;
    EXPECT_EQ(logo.Init(640, 480), 0);
    logo.Prepare();
    logo.End();
    ASSERT_EQ(recorder::Names(),
              (std::vector<std::string>{"DEMOGL_TextureLoad", "DEMOGL_TextureLoad", "DEMOGL_TextureUpload",
                                        "DEMOGL_TextureUpload", "DEMOGL_TextureUnUpload", "DEMOGL_TextureUnUpload"}));
    const std::vector<RecordedCall>& calls = recorder::Calls();
    EXPECT_EQ(calls[0].text, "demotex\\txts1.tga");
    EXPECT_EQ(calls[1].text, "demotex\\txts2.tga");
    for (int load : {0, 1})
        EXPECT_EQ(calls[load].args, (std::vector<double>{3, 0, 0x2901, 0x2901, 0x2601, 0x2601, 0, 0, 0, 0x8057, 2}))
            << "the second picture's bands need GL_REPEAT in t";
    EXPECT_EQ(logo.firstTexture, 1u);
    EXPECT_EQ(logo.secondTexture, 2u);
    for (int call : {2, 4}) EXPECT_EQ(calls[call].Arg(0), 1);
    for (int call : {3, 5}) EXPECT_EQ(calls[call].Arg(0), 2);
}

TEST(LogoEffect, DrawsDepthTestedAtHalfDepth)
{
    recorder::Reset();
    CLogoEffect logo;
    logo.Init(640, 480);
    recorder::Reset();
    logo.RenderFrame(31000);
    EXPECT_EQ(recorder::Names(),
              (std::vector<std::string>{"glPushAttrib", "glEnable", "glBlendFunc", "glEnable", "glDepthFunc",
                                        "glEnable", "glTexEnvi", "glBindTexture", "glMatrixMode", "glPushMatrix",
                                        "glLoadIdentity", "glOrtho", "glMatrixMode", "glLoadIdentity",
                                        "glTranslatef", "glColor4f", "glBegin", "glTexCoord2f", "glVertex3f",
                                        "glTexCoord2f", "glVertex3f", "glTexCoord2f", "glVertex3f", "glTexCoord2f",
                                        "glVertex3f", "glEnd", "glMatrixMode", "glPopMatrix", "glPopAttrib"}));
    const std::vector<RecordedCall>& calls = recorder::Calls();
    EXPECT_EQ(calls[0].Arg(0), 0x6108);
    EXPECT_EQ(calls[2].args, (std::vector<double>{GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR}));
    EXPECT_EQ(calls[3].Arg(0), GL_DEPTH_TEST);
    EXPECT_EQ(calls[4].Arg(0), GL_LEQUAL);
    EXPECT_EQ(calls[5].Arg(0), GL_TEXTURE_2D);
    EXPECT_EQ(calls[6].Arg(2), GL_MODULATE);
    EXPECT_EQ(calls[16].Arg(0), GL_QUADS);
    for (const RecordedCall& vertex : recorder::CallsNamed("glVertex3f")) EXPECT_FLOAT_EQ(float(vertex.Arg(2)), 0.1f);
    EXPECT_EQ(recorder::Count("glScissor"), 0u);
}

}  // namespace
