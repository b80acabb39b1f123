// The makers' picture: its texture's life, its fade on its own clock, and the quad it draws.
#include <gtest/gtest.h>

#include "effects/splash.h"
#include "tests/support/recorder.h"

namespace {

TEST(SplashEffect, LoadsDrawsTheCentredPictureAndReleasesIt)
{
    recorder::Reset();
    CSplashEffect splash;
    EXPECT_EQ(splash.Init(640, 480), 0);
    splash.Prepare();
    splash.RenderFrame(500);
    splash.End();
    EXPECT_EQ(recorder::Transcript(),
        "DEMOGL_TextureLoad(\"demotex\\KorbaPlunte2.tga\",3,0,10497,10497,9729,9729,0,0,0,32855,2) "
        "DEMOGL_TextureUpload(1) glPushAttrib(24840) glEnable(3042) glBlendFunc(768,769) glEnable(3553) "
        "glTexEnvi(8960,8704,8448) glBindTexture(3553,1) glMatrixMode(5889) glPushMatrix glLoadIdentity "
        "glOrtho(0,1,0,1,-1,1) glMatrixMode(5888) glLoadIdentity glTranslatef(0,0,-0.1) glColor4f(0,0,0,1) "
        "glBegin(7) glTexCoord2f(0,0) glVertex3f(0.2,0.125,-0.45) glTexCoord2f(1,0) "
        "glVertex3f(0.8,0.125,-0.45) glTexCoord2f(1,1) glVertex3f(0.8,0.875,-0.45) glTexCoord2f(0,1) "
        "glVertex3f(0.2,0.875,-0.45) glEnd glMatrixMode(5889) glPopMatrix glPopAttrib "
        "DEMOGL_TextureUnUpload(1)");
}

TEST(SplashEffect, FadesInHoldsAndFadesOutOnItsOwnClock)
{
    CSplashEffect splash;
    splash.Init(640, 480);
    const std::pair<LONG, float> levels[] = {
        {1000, 0.0f},      // the first frame adds nothing
        {3500, 0.5f},  {6000, 1.0f},
        {9000, 1.6f},      // at exactly 8 s the rising rule still holds
        {9001, 0.9998f},   // just after, the falling rule
        {14000, 0.0f}, {16000, -0.4f},  // left for the GL to clamp
    };
    for (const auto& [time, level] : levels) EXPECT_NEAR(recorder::ColourAt(splash, time), level, 1e-5) << time;

    splash.End();
    splash.Prepare();
    EXPECT_NEAR(recorder::ColourAt(splash, 20000), -1.2f, 1e-5) << "a second run must not restart the fade";
    splash.Init(640, 480);
    EXPECT_FLOAT_EQ(recorder::ColourAt(splash, 30000), 0.0f) << "Init forgets the clock";
}

}  // namespace
