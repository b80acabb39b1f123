// The closing picture: which texture, and a fade in that never turns into a fade out.
#include <gtest/gtest.h>

#include "effects/ndsplash.h"
#include "tests/support/recorder.h"

namespace {

TEST(NdSplashEffect, DrawsLikeTheSplashWithItsOwnPicture)
{
    recorder::Reset();
    CNdSplashEffect splash;
    EXPECT_EQ(splash.Init(800, 600), 0);
    splash.Prepare();
    splash.RenderFrame(0);
    splash.End();
    EXPECT_EQ(recorder::Transcript(),
        "DEMOGL_TextureLoad(\"demotex\\End.tga\",3,0,10497,10497,9729,9729,0,0,0,32855,2) "
        "DEMOGL_TextureUpload(1) glPushAttrib(24840) glEnable(3042) glBlendFunc(768,769) glEnable(3553) "
        "glTexEnvi(8960,8704,8448) glBindTexture(3553,1) glMatrixMode(5889) glPushMatrix glLoadIdentity "
        "glOrtho(0,1,0,1,-1,1) glMatrixMode(5888) glLoadIdentity glTranslatef(0,0,-0.1) glColor4f(0,0,0,1) "
        "glBegin(7) glTexCoord2f(0,0) glVertex3f(0.2,0.125,-0.45) glTexCoord2f(1,0) "
        "glVertex3f(0.8,0.125,-0.45) glTexCoord2f(1,1) glVertex3f(0.8,0.875,-0.45) glTexCoord2f(0,1) "
        "glVertex3f(0.2,0.875,-0.45) glEnd glMatrixMode(5889) glPopMatrix glPopAttrib "
        "DEMOGL_TextureUnUpload(1)");
}

TEST(NdSplashEffect, FadesInOverFiveSecondsAndNeverFadesOut)
{
    CNdSplashEffect splash;
    splash.Init(640, 480);
    const std::pair<LONG, float> levels[] = {
        {242000, 0.0f}, {244500, 0.5f}, {247000, 1.0f},
        {250000, 1.6f},  // no fade out where the splash has one
        {255000, 2.6f},
    };
    for (const auto& [time, level] : levels) EXPECT_FLOAT_EQ(recorder::ColourAt(splash, time), level) << time;
    splash.End();
    splash.Prepare();
    EXPECT_FLOAT_EQ(recorder::ColourAt(splash, 262000), 4.0f) << "a second run does not restart the fade";
}

}  // namespace
