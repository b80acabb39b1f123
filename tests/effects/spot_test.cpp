// The four beams: where each stands and sweeps, its colour, when it goes out, and its GL state.
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

TEST(SpotEffect, EachKindHasItsOwnBeam)
{
    struct Row {
        int kind;
        float tipX, centre, amplitude, frequency, red, green, blue;
    };
    const Row rows[] = {{1, 0.55f, 0.4f, 0.3f, 1.4f, 0.76f, 0.4f, 0.9f},
                        {2, 0.15f, 0.2f, 0.4f, 1.3f, 0.4f, 0.76f, 1.0f},
                        {3, 0.85f, 0.5f, 0.35f, 1.0f, 0.76f, 0.4f, 0.9f},
                        {4, 0.75f, 0.6f, 0.3f, 0.7f, 0.4f, 0.76f, 1.0f}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        CSpotEffect spot = StartedSpot(row.kind, 45000);
        std::vector<RecordedCall> vertices = recorder::CallsNamed("glVertex3f");
        EXPECT_FLOAT_EQ(float(vertices.at(0).Arg(0)), row.tipX);
        EXPECT_FLOAT_EQ(float(vertices.at(1).Arg(0)), row.centre) << "at rest on the first frame";
        EXPECT_EQ(recorder::CallsNamed("glColor4f").at(0).args, (std::vector<double>{row.red, row.green, row.blue, 1.0f}));

        recorder::Frame(spot, 47500);
        vertices = recorder::CallsNamed("glVertex3f");
        EXPECT_FLOAT_EQ(float(vertices.at(1).Arg(0)), row.centre + row.amplitude * std::sin(row.frequency * 2.5f));
    }
}

TEST(SpotEffect, GoesOutOverTwoSecondsAfterItsMoment)
{
    CSpotEffect spot = StartedSpot(4, 45000);
    EXPECT_FLOAT_EQ(recorder::ColourAt(spot, 70900), 0.4f);
    EXPECT_FLOAT_EQ(recorder::ColourAt(spot, 70901), 0.4f * 0.9995f);
    EXPECT_FLOAT_EQ(recorder::ColourAt(spot, 72900), 0.0f);

    CSpotEffect first = StartedSpot(1, 51000);
    EXPECT_FLOAT_EQ(recorder::ColourAt(first, 81300), 0.76f) << "SPOT goes out last";
    EXPECT_FLOAT_EQ(recorder::ColourAt(first, 82300), 0.38f);
}

TEST(SpotEffect, AKindWithoutABeamDrawsNothingButKeepsTheStateBalanced)
{
    CSpotEffect unset;  // before the start-up gives a kind
    unset.Init(640, 480);
    recorder::Frame(unset, 50000);
    EXPECT_EQ(recorder::Count("glBegin"), 0u);
    for (int kind : {0, 5, -1}) {
        StartedSpot(kind, 50000);
        EXPECT_EQ(recorder::Count("glBegin") + recorder::Count("glColor4f"), 0u) << kind;
        EXPECT_EQ(recorder::Count("glPopAttrib") + recorder::Count("glPopMatrix"), 2u) << kind;
    }
}

}  // namespace
