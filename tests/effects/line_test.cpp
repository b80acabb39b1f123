// The band's scroll offsets, its fade in and out, and the GL state it sets.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "effects/line.h"
#include "tests/support/recorder.h"

namespace {

CLineEffect StartedLine(LONG firstFrame)
{
    recorder::Reset();
    CLineEffect line;
    line.Init(640, 480);
    line.RenderFrame(firstFrame);
    return line;
}

float Brightness(CLineEffect& line, LONG time)
{
    recorder::Reset();
    line.RenderFrame(time);
    return float(recorder::CallsNamed("glColor4f").at(0).Arg(0));
}

TEST(LineEffect, SetsUpTheOverlayAndDrawsThreeStrips)
{
    recorder::Reset();
    CLineEffect line;
    line.Init(640, 480);
    line.Prepare();
    line.RenderFrame(60000);
    line.End();
    const std::vector<std::string> expected = {
        "DEMOGL_TextureLoad", "DEMOGL_TextureUpload", "glPushAttrib", "glEnable", "glBlendFunc", "glEnable",
        "glDepthFunc", "glEnable", "glTexEnvi", "glBindTexture", "glMatrixMode", "glPushMatrix", "glLoadIdentity",
        "glOrtho", "glMatrixMode", "glLoadIdentity", "glTranslatef",
        "glColor4f", "glBegin", "glTexCoord2f", "glVertex3f", "glTexCoord2f", "glVertex3f", "glTexCoord2f",
        "glVertex3f", "glTexCoord2f", "glVertex3f", "glEnd",
        "glColor4f", "glBegin", "glTexCoord2f", "glVertex3f", "glTexCoord2f", "glVertex3f", "glTexCoord2f",
        "glVertex3f", "glTexCoord2f", "glVertex3f", "glEnd",
        "glColor4f", "glBegin", "glTexCoord2f", "glVertex3f", "glTexCoord2f", "glVertex3f", "glTexCoord2f",
        "glVertex3f", "glTexCoord2f", "glVertex3f", "glEnd",
        "glMatrixMode", "glPopMatrix", "glPopAttrib", "DEMOGL_TextureUnUpload"};
    EXPECT_EQ(recorder::Names(), expected);
    const RecordedCall& load = recorder::Calls()[0];
    EXPECT_EQ(load.text, "demotex\\Line.tga");
    EXPECT_EQ(load.args, (std::vector<double>{3, 0, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR, 0, 0, 0, GL_RGB5_A1, 2}));
    EXPECT_EQ(recorder::CallsNamed("glBindTexture").at(0).Arg(1), 1);
    EXPECT_EQ(recorder::CallsNamed("glEnable").at(1).Arg(0), GL_DEPTH_TEST);
    EXPECT_EQ(recorder::CallsNamed("glDepthFunc").at(0).Arg(0), GL_LEQUAL);
    EXPECT_EQ(recorder::Count("glScissor"), 0u) << "the band is not confined to the letterbox";
}

TEST(LineEffect, EachStripWrapsBackAfterItsOwnPeriod)
{
    CLineEffect line = StartedLine(55000);
    EXPECT_FLOAT_EQ(line.stripOffset1, -1.0f);

    line.RenderFrame(55000 + 4241);
    EXPECT_FLOAT_EQ(line.stripOffset1, 4241.0f / 4242.0f - 1.0f);
    line.RenderFrame(55000 + 4242);
    EXPECT_FLOAT_EQ(line.stripOffset1, -1.0f);
    EXPECT_FLOAT_EQ(line.stripOffset2, -1.0f);
    line.RenderFrame(55000 + 3332);
    EXPECT_FLOAT_EQ(line.stripOffset3, 3332.0f / 3333.0f - 1.0f);
    recorder::Reset();
    line.RenderFrame(55000 + 3333);
    EXPECT_FLOAT_EQ(line.stripOffset3, -1.0f);

    // The drawn strip starts at its offset and is two screens long.
    const RecordedCall first = recorder::CallsNamed("glVertex3f").at(8);
    const RecordedCall second = recorder::CallsNamed("glVertex3f").at(9);
    EXPECT_FLOAT_EQ(float(first.Arg(0)), -1.0f);
    EXPECT_FLOAT_EQ(float(second.Arg(0)), 1.0f);
}

TEST(LineEffect, AFrameBeforeTheFirstStillCoversTheScreen)
{
    CLineEffect line = StartedLine(60000);
    line.RenderFrame(60000 - 1000);
    for (float offset : {line.stripOffset1, line.stripOffset2, line.stripOffset3}) {
        EXPECT_GE(offset, -1.0f);
        EXPECT_LT(offset, 0.0f);
    }
    EXPECT_FLOAT_EQ(line.stripOffset1, 3242.0f / 4242.0f - 1.0f);
}

TEST(LineEffect, FadesInOverTenSecondsAndOutAfter89000)
{
    CLineEffect line = StartedLine(80000);
    EXPECT_FLOAT_EQ(Brightness(line, 80000), 0.0f);
    EXPECT_FLOAT_EQ(Brightness(line, 85000), 0.5f);
    EXPECT_FLOAT_EQ(Brightness(line, 89000), 0.9f);
    EXPECT_FLOAT_EQ(Brightness(line, 89001), 1.0f - 1.0f / 4000.0f) << "the fade-out replaces the fade-in";
    EXPECT_FLOAT_EQ(Brightness(line, 91000), 0.5f);
    EXPECT_FLOAT_EQ(Brightness(line, 93000), 0.0f);
    EXPECT_LT(Brightness(line, 94000), 0.0f);

    CLineEffect early = StartedLine(55000);
    EXPECT_FLOAT_EQ(Brightness(early, 70000), 1.0f);
    const RecordedCall violet = recorder::CallsNamed("glColor4f").at(1);
    const RecordedCall blue = recorder::CallsNamed("glColor4f").at(2);
    EXPECT_FLOAT_EQ(float(violet.Arg(0)), 0.9f);
    EXPECT_FLOAT_EQ(float(violet.Arg(1)), 0.3f);
    EXPECT_FLOAT_EQ(float(blue.Arg(0)), 0.3f);
    EXPECT_FLOAT_EQ(float(blue.Arg(2)), 1.0f);

    CLineEffect late = StartedLine(90000);
    EXPECT_FLOAT_EQ(Brightness(late, 90000), 0.75f) << "a late first frame starts from the fade-out";
}

}  // namespace
