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
    float left, top;
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

    // One frame this many ms after the first.
    Caption At(LONG elapsed)
    {
        recorder::Reset();
        logo.RenderFrame(kStart + elapsed);
        std::vector<RecordedCall> vertices = recorder::CallsNamed("glVertex3f");
        std::vector<RecordedCall> texCoords = recorder::CallsNamed("glTexCoord2f");
        EXPECT_NEAR(vertices.at(2).Arg(0) - vertices.at(0).Arg(0), 0.67, 1e-6);
        EXPECT_NEAR(vertices.at(2).Arg(1) - vertices.at(0).Arg(1), 0.25, 1e-6);
        EXPECT_NEAR(texCoords.at(2).Arg(1) - texCoords.at(0).Arg(1), 0.25, 1e-6) << "a band is a quarter";
        return Caption{unsigned(recorder::CallsNamed("glBindTexture").at(0).Arg(1)),
                       float(recorder::CallsNamed("glColor4f").at(0).Arg(0)),
                       float(vertices[0].Arg(0)),
                       float(vertices[2].Arg(1)),
                       float(texCoords[0].Arg(1)),
                       float(texCoords[2].Arg(1))};
    }

    CLogoEffect logo;
};

TEST_F(LogoEffectTest, BrightensHoldsThenFadesWhileSlidingRight)
{
    Caption first = At(0);
    EXPECT_EQ(first.texture, logo.firstTexture);
    EXPECT_EQ(first.brightness, 0.0f);
    EXPECT_FLOAT_EQ(first.left, 0.03f);
    EXPECT_FLOAT_EQ(first.top, 1.0f);
    EXPECT_FLOAT_EQ(first.bandTop, 1.0f) << "the first caption is the picture's top band";

    EXPECT_NEAR(At(1500).brightness, 0.5f, 1e-6);
    Caption holdEnd = At(4000);
    EXPECT_NEAR(holdEnd.brightness, 4.0f / 3.0f, 1e-6) << "the last frame of the hold still uses the rising rule";
    EXPECT_FLOAT_EQ(holdEnd.left, 0.03f);
    EXPECT_NEAR(At(4001).left, 0.03f, 2e-4) << "no visible jump when the slide begins";

    Caption halfway = At(5500);
    EXPECT_NEAR(halfway.brightness, 0.5f, 1e-6);
    EXPECT_NEAR(halfway.left, 0.23f - 0.2f * std::sin(1.5f / 1.9f), 1e-6);
    EXPECT_NEAR(At(12500).left, 0.388f, 1e-3) << "shifted right in the bottom quarter";
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
    EXPECT_FLOAT_EQ(next.bandBottom, 0.5f);
}

TEST_F(LogoEffectTest, SwitchesPictureAfterFourCaptionsAndKeepsTheBandOrder)
{
    Caption fourth = At(28000);
    EXPECT_EQ(fourth.texture, logo.firstTexture);
    EXPECT_EQ(fourth.brightness, 0.0f);
    EXPECT_FLOAT_EQ(fourth.bandBottom, 0.0f);
    EXPECT_FLOAT_EQ(fourth.top, 0.25f);

    Caption fifth = At(28001);
    EXPECT_EQ(fifth.texture, logo.secondTexture);
    EXPECT_FLOAT_EQ(fifth.bandTop, 0.0f) << "the repeat in t shows the second picture's top band";
    EXPECT_FLOAT_EQ(fifth.top, 1.0f);

    Caption ninth = At(56001);
    EXPECT_EQ(ninth.texture, logo.secondTexture);
    EXPECT_FLOAT_EQ(ninth.bandTop, -1.0f) << "then the second picture's bands come round again";
    EXPECT_FLOAT_EQ(ninth.top, 1.0f);
}

TEST(LogoEffect, LoadsUploadsAndReleasesBothPicturesInOrder)
{
    recorder::Reset();
    CLogoEffect logo;
    EXPECT_EQ(logo.Init(640, 480), 0);
    logo.Prepare();
    logo.End();
    const std::vector<RecordedCall>& calls = recorder::Calls();
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0].text, "demotex\\txts1.tga");
    EXPECT_EQ(calls[1].text, "demotex\\txts2.tga");
    for (int load : {0, 1})
        EXPECT_EQ(calls[load].args, (std::vector<double>{3, 0, 0x2901, 0x2901, 0x2601, 0x2601, 0, 0, 0, 0x8057, 2}))
            << "the second picture's bands need GL_REPEAT in t";
    EXPECT_EQ(logo.secondTexture, 2u);
    std::vector<double> ids;
    for (int call = 2; call < 6; ++call) ids.push_back(calls[call].Arg(0));
    EXPECT_EQ(ids, (std::vector<double>{1, 2, 1, 2}));
    EXPECT_EQ(calls[3].name, "DEMOGL_TextureUpload");
    EXPECT_EQ(calls[4].name, "DEMOGL_TextureUnUpload");
}

TEST(LogoEffect, DrawsDepthTestedAtHalfDepth)
{
    recorder::Reset();
    CLogoEffect logo;
    logo.Init(640, 480);
    recorder::Reset();
    logo.RenderFrame(31000);
    std::string names;
    for (const std::string& name : recorder::Names()) names += name + " ";
    EXPECT_EQ(names, "glPushAttrib glEnable glBlendFunc glEnable glDepthFunc glEnable glTexEnvi glBindTexture "
                     "glMatrixMode glPushMatrix glLoadIdentity glOrtho glMatrixMode glLoadIdentity glTranslatef "
                     "glColor4f glBegin glTexCoord2f glVertex3f glTexCoord2f glVertex3f glTexCoord2f glVertex3f "
                     "glTexCoord2f glVertex3f glEnd glMatrixMode glPopMatrix glPopAttrib ");
    const std::vector<RecordedCall>& calls = recorder::Calls();
    EXPECT_EQ(calls[0].Arg(0), 0x6108);
    EXPECT_EQ(calls[2].args, (std::vector<double>{GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR}));
    EXPECT_EQ(calls[3].Arg(0), GL_DEPTH_TEST);
    EXPECT_EQ(calls[4].Arg(0), GL_LEQUAL);
    EXPECT_EQ(calls[5].Arg(0), GL_TEXTURE_2D);
    EXPECT_EQ(calls[6].Arg(2), GL_MODULATE);
    for (const RecordedCall& vertex : recorder::CallsNamed("glVertex3f")) EXPECT_FLOAT_EQ(float(vertex.Arg(2)), 0.1f);
}

}  // namespace
