// The closing picture: which texture, and a fade in that never turns into a fade out.
#include <gtest/gtest.h>

#include "effects/ndsplash.h"
#include "tests/support/recorder.h"

namespace {

float BrightnessAt(CNdSplashEffect& splash, LONG t)
{
    recorder::Reset();
    splash.RenderFrame(t);
    RecordedCall colour = recorder::CallsNamed("glColor4f").at(0);
    EXPECT_TRUE(colour.Arg(0) == colour.Arg(1) && colour.Arg(1) == colour.Arg(2) && colour.Arg(3) == 1.0);
    return float(colour.Arg(0));
}

TEST(NdSplashEffect, LoadsUploadsAndReleasesTheEndPicture)
{
    recorder::Reset();
    CNdSplashEffect splash;
    EXPECT_EQ(splash.Init(800, 600), 0);
    splash.Prepare();
    splash.End();
    ASSERT_EQ(recorder::Names(), (std::vector<std::string>{"DEMOGL_TextureLoad", "DEMOGL_TextureUpload",
                                                           "DEMOGL_TextureUnUpload"}));
    EXPECT_EQ(recorder::Calls()[0].text, "demotex\\End.tga");
    EXPECT_EQ(recorder::Calls()[0].args,
              (std::vector<double>{3, 0, 0x2901, 0x2901, 0x2601, 0x2601, 0, 0, 0, 0x8057, 2}));
    EXPECT_EQ(recorder::Calls()[2].Arg(0), double(splash.texture));
}

TEST(NdSplashEffect, FadesInOverFiveSecondsAndNeverFadesOut)
{
    CNdSplashEffect splash;
    splash.Init(640, 480);
    EXPECT_FLOAT_EQ(BrightnessAt(splash, 242000), 0.0f);
    EXPECT_FLOAT_EQ(BrightnessAt(splash, 244500), 0.5f);
    EXPECT_FLOAT_EQ(BrightnessAt(splash, 247000), 1.0f);
    EXPECT_FLOAT_EQ(BrightnessAt(splash, 250000), 1.6f) << "no fade out where the splash has one";
    EXPECT_FLOAT_EQ(BrightnessAt(splash, 255000), 2.6f);

    splash.End();
    splash.Prepare();
    EXPECT_FLOAT_EQ(BrightnessAt(splash, 262000), 4.0f) << "a second run does not restart the fade";
}

TEST(NdSplashEffect, DrawsLikeTheSplashWithoutTouchingTheDepthTest)
{
    CNdSplashEffect splash;
    splash.Init(640, 480);
    recorder::Reset();
    splash.RenderFrame(0);

    std::string names;
    for (const std::string& name : recorder::Names()) names += name + " ";
    EXPECT_EQ(names, "glPushAttrib glEnable glBlendFunc glEnable glTexEnvi glBindTexture glMatrixMode glPushMatrix "
                     "glLoadIdentity glOrtho glMatrixMode glLoadIdentity glTranslatef glColor4f glBegin "
                     "glTexCoord2f glVertex3f glTexCoord2f glVertex3f glTexCoord2f glVertex3f glTexCoord2f glVertex3f "
                     "glEnd glMatrixMode glPopMatrix glPopAttrib ");
    EXPECT_EQ(recorder::CallsNamed("glVertex3f")[2].args, (std::vector<double>{0.8f, 0.875f, -0.45f}));
}

}  // namespace
