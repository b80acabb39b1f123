// The captions: which picture and band each cycle shows, where, how bright, and the GL state.
#include <gtest/gtest.h>

#include "effects/logo.h"
#include "tests/support/recorder.h"

namespace {

struct Caption {
    unsigned int texture;
    float brightness, left, top, bandBottom, bandTop;
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
        recorder::Frame(logo, kStart + elapsed);
        std::vector<RecordedCall> vertices = recorder::CallsNamed("glVertex3f");
        std::vector<RecordedCall> texCoords = recorder::CallsNamed("glTexCoord2f");
        EXPECT_NEAR(texCoords.at(2).Arg(1) - texCoords.at(0).Arg(1), 0.25, 1e-6) << "a band is a quarter";
        return Caption{unsigned(recorder::CallsNamed("glBindTexture").at(0).Arg(1)),
                       float(recorder::CallsNamed("glColor4f").at(0).Arg(0)), float(vertices.at(0).Arg(0)),
                       float(vertices.at(2).Arg(1)), float(texCoords[0].Arg(1)), float(texCoords[2].Arg(1))};
    }

    CLogoEffect logo;
};

TEST_F(LogoEffectTest, TheHoldEndsAtFourSecondsAndTheSlideStartsWithoutAJump)
{
    Caption holdEnd = At(4000);
    EXPECT_NEAR(holdEnd.brightness, 4.0f / 3.0f, 1e-6) << "the last frame of the hold still uses the rising rule";
    EXPECT_FLOAT_EQ(holdEnd.left, 0.03f);
    EXPECT_NEAR(At(4001).left, 0.03f, 2e-4) << "no visible jump when the slide begins";
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
    EXPECT_FLOAT_EQ(fourth.bandBottom, 0.0f);

    Caption fifth = At(28001);
    EXPECT_EQ(fifth.texture, logo.secondTexture);
    EXPECT_FLOAT_EQ(fifth.bandTop, 0.0f) << "the repeat in t shows the second picture's top band";
    EXPECT_FLOAT_EQ(fifth.top, 1.0f);
}

TEST(LogoEffect, LoadsBothPicturesAndDrawsTheFirstBandDepthTested)
{
    recorder::Reset();
    CLogoEffect logo;
    EXPECT_EQ(logo.Init(640, 480), 0);
    logo.Prepare();
    logo.RenderFrame(31000);
    logo.End();
    EXPECT_EQ(recorder::Transcript(),
        "DEMOGL_TextureLoad(\"demotex\\txts1.tga\",3,0,10497,10497,9729,9729,0,0,0,32855,2) "
        "DEMOGL_TextureLoad(\"demotex\\txts2.tga\",3,0,10497,10497,9729,9729,0,0,0,32855,2) "
        "DEMOGL_TextureUpload(1) DEMOGL_TextureUpload(2) glPushAttrib(24840) glEnable(3042) "
        "glBlendFunc(768,769) glEnable(2929) glDepthFunc(515) glEnable(3553) glTexEnvi(8960,8704,8448) "
        "glBindTexture(3553,1) glMatrixMode(5889) glPushMatrix glLoadIdentity glOrtho(0,1,0,1,-1,1) "
        "glMatrixMode(5888) glLoadIdentity glTranslatef(0,0,-0.1) glColor4f(0,0,0,1) glBegin(7) "
        "glTexCoord2f(0,0.75) glVertex3f(0.03,0.75,0.1) glTexCoord2f(1,0.75) glVertex3f(0.7,0.75,0.1) "
        "glTexCoord2f(1,1) glVertex3f(0.7,1,0.1) glTexCoord2f(0,1) glVertex3f(0.03,1,0.1) glEnd "
        "glMatrixMode(5889) glPopMatrix glPopAttrib DEMOGL_TextureUnUpload(1) DEMOGL_TextureUnUpload(2)");
}

}  // namespace
