// The makers' picture: its texture's life, its fade in, hold and fade out, and its GL state.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "effects/splash.h"
#include "tests/support/recorder.h"

namespace {

const std::vector<double> kTextureArguments{3, 0, 0x2901, 0x2901, 0x2601, 0x2601, 0, 0, 0, 0x8057, 2};

// Runs one frame and returns the grey level it drew with.
float BrightnessAt(CSplashEffect& splash, LONG t)
{
    recorder::Reset();
    splash.RenderFrame(t);
    RecordedCall colour = recorder::CallsNamed("glColor4f").at(0);
    EXPECT_TRUE(colour.Arg(0) == colour.Arg(1) && colour.Arg(1) == colour.Arg(2) && colour.Arg(3) == 1.0);
    return float(colour.Arg(0));
}

TEST(SplashEffect, LoadsUploadsAndReleasesItsPicture)
{
    recorder::Reset();
    CSplashEffect splash;
    EXPECT_EQ(splash.Init(640, 480), 0);
    splash.Prepare();
    splash.End();
    ASSERT_EQ(recorder::Names(), (std::vector<std::string>{"DEMOGL_TextureLoad", "DEMOGL_TextureUpload",
                                                           "DEMOGL_TextureUnUpload"}));
    EXPECT_EQ(recorder::Calls()[0].text, "demotex\\KorbaPlunte2.tga");
    EXPECT_EQ(recorder::Calls()[0].args, kTextureArguments);
    EXPECT_EQ(recorder::Calls()[1].Arg(0), 1);
    EXPECT_EQ(recorder::Calls()[2].Arg(0), 1);
}

TEST(SplashEffect, FadesInHoldsAndFadesOutOnItsOwnClock)
{
    CSplashEffect splash;
    splash.Init(640, 480);
    EXPECT_FLOAT_EQ(BrightnessAt(splash, 1000), 0.0f) << "the first frame adds nothing";
    EXPECT_FLOAT_EQ(BrightnessAt(splash, 3500), 0.5f);
    EXPECT_FLOAT_EQ(BrightnessAt(splash, 6000), 1.0f);
    EXPECT_FLOAT_EQ(BrightnessAt(splash, 9000), 1.6f) << "at exactly 8 s the rising rule still holds";
    EXPECT_NEAR(BrightnessAt(splash, 9001), 0.9998f, 1e-5) << "just after 8 s the falling rule";
    EXPECT_NEAR(BrightnessAt(splash, 14000), 0.0f, 1e-6);
    EXPECT_NEAR(BrightnessAt(splash, 16000), -0.4f, 1e-6) << "left for the GL to clamp";

    splash.End();
    splash.Prepare();
    EXPECT_NEAR(BrightnessAt(splash, 20000), -1.2f, 1e-6) << "a second run must not restart the fade";

    splash.Init(640, 480);
    EXPECT_FLOAT_EQ(BrightnessAt(splash, 30000), 0.0f);
}

TEST(SplashEffect, DrawsTheCentredPictureOverTheFrame)
{
    CSplashEffect splash;
    splash.Init(640, 480);
    recorder::Reset();
    splash.RenderFrame(500);

    std::string names;
    for (const std::string& name : recorder::Names()) names += name + " ";
    EXPECT_EQ(names, "glPushAttrib glEnable glBlendFunc glEnable glTexEnvi glBindTexture glMatrixMode glPushMatrix "
                     "glLoadIdentity glOrtho glMatrixMode glLoadIdentity glTranslatef glColor4f glBegin "
                     "glTexCoord2f glVertex3f glTexCoord2f glVertex3f glTexCoord2f glVertex3f glTexCoord2f glVertex3f "
                     "glEnd glMatrixMode glPopMatrix glPopAttrib ");
    const std::vector<RecordedCall>& calls = recorder::Calls();
    ASSERT_EQ(calls.size(), 27u);
    EXPECT_EQ(calls[0].Arg(0), 0x6108);
    EXPECT_EQ(calls[1].Arg(0), GL_BLEND);
    EXPECT_EQ(calls[2].args, (std::vector<double>{GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR}));
    EXPECT_EQ(calls[3].Arg(0), GL_TEXTURE_2D);
    EXPECT_EQ(calls[4].args, (std::vector<double>{GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE}));
    EXPECT_EQ(calls[5].args, (std::vector<double>{GL_TEXTURE_2D, double(splash.texture)}));
    EXPECT_EQ(calls[9].args, (std::vector<double>{0, 1, 0, 1, -1, 1}));
    EXPECT_FLOAT_EQ(float(calls[12].Arg(2)), -0.1f);
    EXPECT_EQ(calls[14].Arg(0), GL_QUADS);

    const float corners[4][5] = {{0, 0, 0.2f, 0.125f, -0.45f}, {1, 0, 0.8f, 0.125f, -0.45f},
                                 {1, 1, 0.8f, 0.875f, -0.45f}, {0, 1, 0.2f, 0.875f, -0.45f}};
    for (int corner = 0; corner < 4; ++corner) {
        const float* expected = corners[corner];
        EXPECT_EQ(calls[15 + 2 * corner].args, (std::vector<double>{expected[0], expected[1]}));
        EXPECT_EQ(calls[16 + 2 * corner].args, (std::vector<double>{expected[2], expected[3], expected[4]}));
    }
}

}  // namespace
