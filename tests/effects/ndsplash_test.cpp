// The closing picture: which texture, its fade in that never turns into a fade out, its GL state.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "effects/ndsplash.h"
#include "tests/support/recorder.h"

namespace {

float BrightnessAt(CNdSplashEffect& splash, LONG t)
{
    recorder::Reset();
    splash.RenderFrame(t);
    RecordedCall colour = recorder::CallsNamed("glColor4f").at(0);
    EXPECT_EQ(colour.Arg(0), colour.Arg(1));
    EXPECT_EQ(colour.Arg(0), colour.Arg(2));
    EXPECT_EQ(colour.Arg(3), 1.0);
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
    EXPECT_EQ(recorder::Calls()[1].Arg(0), double(splash.texture));
    EXPECT_EQ(recorder::Calls()[2].Arg(0), double(splash.texture));
}

TEST(NdSplashEffect, FadesInOverFiveSecondsAndNeverFadesOut)
{
    recorder::Reset();
    CNdSplashEffect splash;
    splash.Init(640, 480);

    EXPECT_FLOAT_EQ(BrightnessAt(splash, 242000), 0.0f);
    EXPECT_FLOAT_EQ(BrightnessAt(splash, 244500), 0.5f);
    EXPECT_FLOAT_EQ(BrightnessAt(splash, 247000), 1.0f);
    EXPECT_FLOAT_EQ(BrightnessAt(splash, 250000), 1.6f) << "no fade out where the splash has one";
    EXPECT_FLOAT_EQ(BrightnessAt(splash, 255000), 2.6f);
}

TEST(NdSplashEffect, ASecondRunStartsAtFullBrightness)
{
    recorder::Reset();
    CNdSplashEffect splash;
    splash.Init(640, 480);
    splash.Prepare();
    BrightnessAt(splash, 100000);
    splash.End();
    splash.Prepare();
    EXPECT_FLOAT_EQ(BrightnessAt(splash, 110000), 2.0f);
}

TEST(NdSplashEffect, DrawsWithoutTouchingTheDepthTest)
{
    recorder::Reset();
    CNdSplashEffect splash;
    splash.Init(640, 480);
    recorder::Reset();
    splash.RenderFrame(0);

    EXPECT_EQ(recorder::Names(),
              (std::vector<std::string>{"glPushAttrib", "glEnable", "glBlendFunc", "glEnable", "glTexEnvi",
                                        "glBindTexture", "glMatrixMode", "glPushMatrix", "glLoadIdentity",
                                        "glOrtho", "glMatrixMode", "glLoadIdentity", "glTranslatef", "glColor4f",
                                        "glBegin", "glTexCoord2f", "glVertex3f", "glTexCoord2f", "glVertex3f",
                                        "glTexCoord2f", "glVertex3f", "glTexCoord2f", "glVertex3f", "glEnd",
                                        "glMatrixMode", "glPopMatrix", "glPopAttrib"}));
    std::vector<RecordedCall> enables = recorder::CallsNamed("glEnable");
    EXPECT_EQ(enables[0].Arg(0), GL_BLEND);
    EXPECT_EQ(enables[1].Arg(0), GL_TEXTURE_2D);
    EXPECT_EQ(recorder::Calls()[0].Arg(0), 0x6108);
    EXPECT_EQ(recorder::CallsNamed("glBindTexture")[0].Arg(1), double(splash.texture));

    std::vector<RecordedCall> vertices = recorder::CallsNamed("glVertex3f");
    EXPECT_FLOAT_EQ(float(vertices[0].Arg(0)), 0.2f);
    EXPECT_FLOAT_EQ(float(vertices[0].Arg(1)), 0.125f);
    EXPECT_FLOAT_EQ(float(vertices[2].Arg(0)), 0.8f);
    EXPECT_FLOAT_EQ(float(vertices[2].Arg(1)), 0.875f);
    std::vector<RecordedCall> texCoords = recorder::CallsNamed("glTexCoord2f");
    EXPECT_EQ(texCoords[0].args, (std::vector<double>{0, 0}));
    EXPECT_EQ(texCoords[2].args, (std::vector<double>{1, 1}));
}

}  // namespace
