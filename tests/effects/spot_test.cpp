// The beams: where one stands and sweeps, when it goes out, a kind without a beam, and the GL state.
#include <gtest/gtest.h>

#include <cmath>

#include "effects/spot.h"
#include "tests/support/recorder.h"

namespace {

CSpotEffect StartedSpot(int kind, LONG firstFrame)
{
    recorder::Reset();
    CSpotEffect spot;
    spot.SetKind(kind);
    spot.Init(640, 480);
    spot.RenderFrame(firstFrame);
    return spot;
}

TEST(SpotEffect, SetsUpTheLetterboxedOverlayAndDrawsOneTriangle)
{
    recorder::Reset();
    CSpotEffect spot;
    spot.SetKind(1);
    spot.Init(640, 480);
    spot.Prepare();
    spot.RenderFrame(51000);
    spot.End();
    EXPECT_EQ(recorder::Transcript(),
        "DEMOGL_TextureLoad(\"demotex\\Light.tga\",3,0,10497,10497,9729,9729,0,0,0,32855,2) "
        "DEMOGL_TextureUpload(1) glPushAttrib(24840) glEnable(3042) glBlendFunc(768,769) "
        "glScissor(0,96,640,288) glEnable(3089) glEnable(2929) glDepthFunc(515) glEnable(3553) "
        "glTexEnvi(8960,8704,8448) glBindTexture(3553,1) glMatrixMode(5889) glPushMatrix glLoadIdentity "
        "glOrtho(0,1,0,1,-1,1) glMatrixMode(5888) glLoadIdentity glTranslatef(0,0,-0.1) "
        "glColor4f(0.76,0.4,0.9,1) glBegin(4) glTexCoord2f(0.5,0) glVertex3f(0.55,0,-0.1) glTexCoord2f(0,1) "
        "glVertex3f(0.4,0.9,-0.1) glTexCoord2f(1,1) glVertex3f(0.55,0.9,-0.1) glEnd glMatrixMode(5889) "
        "glPopMatrix glPopAttrib DEMOGL_TextureUnUpload(1)");
}

TEST(SpotEffect, SweepsOnItsOwnClockAndGoesOutOverTwoSecondsAfterItsMoment)
{
    CSpotEffect spot = StartedSpot(4, 45000);
    recorder::Frame(spot, 47500);
    EXPECT_FLOAT_EQ(recorder::CallsNamed("glVertex3f").at(1).Arg(0), 0.6f + 0.3f * std::sin(0.7f * 2.5f));
    EXPECT_FLOAT_EQ(recorder::ColourAt(spot, 70900), 0.4f);
    EXPECT_FLOAT_EQ(recorder::ColourAt(spot, 70901), 0.4f * 0.9995f);
    EXPECT_FLOAT_EQ(recorder::ColourAt(spot, 72900), 0.0f);

    CSpotEffect first = StartedSpot(1, 51000);
    EXPECT_FLOAT_EQ(recorder::ColourAt(first, 81300), 0.76f) << "SPOT goes out last";
    EXPECT_FLOAT_EQ(recorder::ColourAt(first, 82300), 0.38f);
}

TEST(SpotEffect, AKindWithoutABeamDrawsNothingButKeepsTheStateBalanced)
{
    for (int kind : {0, 5, -1}) {
        StartedSpot(kind, 50000);
        EXPECT_EQ(recorder::Count("glBegin") + recorder::Count("glColor4f"), 0u) << kind;
        EXPECT_EQ(recorder::Count("glPopAttrib") + recorder::Count("glPopMatrix"), 2u) << kind;
    }
}

}  // namespace
