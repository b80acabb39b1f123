// The airship: where it slides and stops, how the scroller's flag switches its phase, and its fade.
#include <gtest/gtest.h>

#include "effects/scroller_started.h"
#include "effects/zep.h"
#include "tests/support/recorder.h"

namespace {

struct Frame {
    float red, green, blue, left;
};

// The flag is program-wide: every test starts before the scroller and leaves it so.
class ZepEffectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_scrollerStarted = false;
        recorder::Reset();
        zep.Init(640, 480);
    }
    void TearDown() override { g_scrollerStarted = false; }

    Frame At(LONG t)
    {
        recorder::Frame(zep, t);
        RecordedCall colour = recorder::CallsNamed("glColor4f").at(0);
        float left = float(recorder::CallsNamed("glVertex3f").at(0).Arg(0));
        return Frame{float(colour.Arg(0)), float(colour.Arg(1)), float(colour.Arg(2)), left};
    }

    CZepEffect zep;
};

TEST_F(ZepEffectTest, SlidesInFromTheRightUnderABlueTintAndStopsAtTheLeftEdge)
{
    At(142000);
    EXPECT_NEAR(At(147001).red, 0.2857f, 1e-4) << "brightness holds at 1 after five seconds";
    EXPECT_NEAR(At(160000).left, -0.02f, 1e-5);
    EXPECT_FLOAT_EQ(At(160500).left, -0.03f) << "must stop, not run off the screen";
}

TEST_F(ZepEffectTest, JumpsToTheLeftEdgeAndTheBrightRuleWhenTheScrollerStarts)
{
    At(142000);
    At(150000);
    g_scrollerStarted = true;
    Frame jump = At(151000);
    EXPECT_FLOAT_EQ(jump.left, -0.03f);
    EXPECT_NEAR(jump.green, 0.4f, 1e-6);

    // Had the scroller started first, the ship never slides.
    zep.Init(640, 480);
    Frame first = At(170000);
    EXPECT_FLOAT_EQ(first.left, -0.03f);
    EXPECT_NEAR(first.green, 0.4f, 1e-6);
}

TEST_F(ZepEffectTest, FadesOutFortySecondsIntoTheBrightPhaseAndStaysOut)
{
    g_scrollerStarted = true;
    At(161000);
    EXPECT_GT(At(201000).red, 1.0f) << "at exactly 40 s the rising rule still holds";
    Frame fading = At(201001);
    for (float channel : {fading.red, fading.green, fading.blue}) EXPECT_NEAR(channel, 1.0f - 1.0f / 4000, 1e-6);

    zep.End();
    zep.Prepare();
    EXPECT_NEAR(At(207000).red, -0.5f, 1e-6) << "a second run continues the first one's clock";
    zep.Init(640, 480);
    EXPECT_NEAR(At(300000).red, 0.2857f, 1e-6) << "Init forgets both clocks";
}

TEST_F(ZepEffectTest, LoadsItsPictureAndDrawsDepthTested)
{
    recorder::Reset();
    zep.Init(640, 480);
    zep.Prepare();
    zep.RenderFrame(0);
    zep.End();
    EXPECT_EQ(recorder::Transcript(),
        "DEMOGL_TextureLoad(\"demotex\\Zep.tga\",3,0,10497,10497,9729,9729,0,0,0,32855,2) "
        "DEMOGL_TextureUpload(1) glPushAttrib(24840) glEnable(3042) glBlendFunc(768,769) glEnable(2929) "
        "glDepthFunc(515) glEnable(3553) glTexEnvi(8960,8704,8448) glBindTexture(3553,1) glMatrixMode(5889) "
        "glPushMatrix glLoadIdentity glOrtho(0,1,0,1,-1,1) glMatrixMode(5888) glLoadIdentity "
        "glTranslatef(0,0,-0.1) glColor4f(0,0,0,1) glBegin(7) glTexCoord2f(0,0) glVertex3f(0.7,0.325,-0.45) "
        "glTexCoord2f(1,0) glVertex3f(1.1,0.325,-0.45) glTexCoord2f(1,1) glVertex3f(1.1,0.875,-0.45) "
        "glTexCoord2f(0,1) glVertex3f(0.7,0.875,-0.45) glEnd glMatrixMode(5889) glPopMatrix glPopAttrib "
        "DEMOGL_TextureUnUpload(1)");
}

}  // namespace
