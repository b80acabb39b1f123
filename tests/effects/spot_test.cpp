// The four beams: where each stands and sweeps, its colour, when it goes out, and its GL state.
#include <gtest/gtest.h>

#include <GL/gl.h>

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

float Red(CSpotEffect& spot, LONG time)
{
    recorder::Reset();
    spot.RenderFrame(time);
    return float(recorder::CallsNamed("glColor4f").at(0).Arg(0));
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
    const std::vector<std::string> expected = {
        "DEMOGL_TextureLoad", "DEMOGL_TextureUpload", "glPushAttrib", "glEnable", "glBlendFunc", "glScissor",
        "glEnable", "glEnable", "glDepthFunc", "glEnable", "glTexEnvi", "glBindTexture", "glMatrixMode",
        "glPushMatrix", "glLoadIdentity", "glOrtho", "glMatrixMode", "glLoadIdentity", "glTranslatef", "glColor4f",
        "glBegin", "glTexCoord2f", "glVertex3f", "glTexCoord2f", "glVertex3f", "glTexCoord2f", "glVertex3f", "glEnd",
        "glMatrixMode", "glPopMatrix", "glPopAttrib", "DEMOGL_TextureUnUpload"};
    EXPECT_EQ(recorder::Names(), expected);
    EXPECT_EQ(recorder::Calls()[0].text, "demotex\\Light.tga");
    EXPECT_EQ(recorder::CallsNamed("glScissor").at(0).args, (std::vector<double>{0, 96, 640, 288}));
    EXPECT_EQ(recorder::CallsNamed("glEnable").at(1).Arg(0), GL_SCISSOR_TEST);
    EXPECT_EQ(recorder::CallsNamed("glBegin").at(0).Arg(0), GL_TRIANGLES);
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
        EXPECT_FLOAT_EQ(float(vertices.at(2).Arg(0)), row.centre + 0.15f);
        const RecordedCall colour = recorder::CallsNamed("glColor4f").at(0);
        EXPECT_EQ(colour.args, (std::vector<double>{row.red, row.green, row.blue, 1.0f}));

        recorder::Reset();
        spot.RenderFrame(47500);
        vertices = recorder::CallsNamed("glVertex3f");
        EXPECT_FLOAT_EQ(float(vertices.at(1).Arg(0)), row.centre + row.amplitude * std::sin(row.frequency * 2.5f));
        EXPECT_FLOAT_EQ(float(vertices.at(1).Arg(1)), 0.9f);
    }
}

TEST(SpotEffect, GoesOutOverTwoSecondsAfterItsMoment)
{
    CSpotEffect spot = StartedSpot(4, 45000);
    EXPECT_FLOAT_EQ(Red(spot, 70900), 0.4f);
    EXPECT_FLOAT_EQ(Red(spot, 70901), 0.4f * 0.9995f);
    EXPECT_FLOAT_EQ(Red(spot, 71900), 0.2f);
    EXPECT_FLOAT_EQ(Red(spot, 72900), 0.0f);

    CSpotEffect first = StartedSpot(1, 51000);
    EXPECT_FLOAT_EQ(Red(first, 81300), 0.76f) << "SPOT goes out last";
    EXPECT_FLOAT_EQ(Red(first, 82300), 0.38f);
}

TEST(SpotEffect, AKindWithoutABeamDrawsNothingButKeepsTheStateBalanced)
{
    for (int kind : {0, 5, -1}) {
        CSpotEffect spot = StartedSpot(kind, 50000);
        EXPECT_EQ(recorder::Count("glBegin"), 0u);
        EXPECT_EQ(recorder::Count("glColor4f"), 0u);
        EXPECT_EQ(recorder::Count("glPopAttrib"), 1u);
        EXPECT_EQ(recorder::Count("glPopMatrix"), 1u);
    }
    recorder::Reset();
    CSpotEffect unset;
    unset.Init(640, 480);
    unset.RenderFrame(50000);
    EXPECT_EQ(recorder::Count("glBegin"), 0u) << "no beam before the start-up gives a kind";
}

}  // namespace
