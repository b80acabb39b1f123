// The band's scroll offsets, its fade in and out, and the GL state it sets.
#include <gtest/gtest.h>

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

TEST(LineEffect, SetsUpTheOverlayAndDrawsThreeStrips)
{
    recorder::Reset();
    CLineEffect line;
    line.Init(640, 480);
    line.Prepare();
    line.RenderFrame(60000);
    line.End();
    // Not confined to the letterbox: no scissor.
    EXPECT_EQ(recorder::Transcript(),
        "DEMOGL_TextureLoad(\"demotex\\Line.tga\",3,0,10497,10497,9729,9729,0,0,0,32855,2) "
        "DEMOGL_TextureUpload(1) glPushAttrib(24840) glEnable(3042) glBlendFunc(768,769) glEnable(2929) "
        "glDepthFunc(515) glEnable(3553) glTexEnvi(8960,8704,8448) glBindTexture(3553,1) glMatrixMode(5889) "
        "glPushMatrix glLoadIdentity glOrtho(0,1,0,1,-1,1) glMatrixMode(5888) glLoadIdentity "
        "glTranslatef(0,0,-0.1) glColor4f(0,0,0,1) glBegin(7) glTexCoord2f(0,0.9) glVertex3f(-1,0.44,0) "
        "glTexCoord2f(2,0.9) glVertex3f(1,0.44,0) glTexCoord2f(2,1) glVertex3f(1,0.54,0) glTexCoord2f(0,1) "
        "glVertex3f(-1,0.54,0) glEnd glColor4f(0,0,0,1) glBegin(7) glTexCoord2f(0,0.375) "
        "glVertex3f(-1,0.44,0) glTexCoord2f(2,0.375) glVertex3f(1,0.44,0) glTexCoord2f(2,0.5) "
        "glVertex3f(1,0.54,0) glTexCoord2f(0,0.5) glVertex3f(-1,0.54,0) glEnd glColor4f(0,0,0,1) glBegin(7) "
        "glTexCoord2f(0,0.375) glVertex3f(-1,0.44,0) glTexCoord2f(2,0.375) glVertex3f(1,0.44,0) "
        "glTexCoord2f(2,0.5) glVertex3f(1,0.54,0) glTexCoord2f(0,0.5) glVertex3f(-1,0.54,0) glEnd "
        "glMatrixMode(5889) glPopMatrix glPopAttrib DEMOGL_TextureUnUpload(1)");
}

TEST(LineEffect, AStripWrapsBackAfterItsPeriodAndAnEarlierFrameStillCoversTheScreen)
{
    CLineEffect line = StartedLine(55000);
    line.RenderFrame(55000 + 4241);
    EXPECT_FLOAT_EQ(line.stripOffset1, 4241.0f / 4242.0f - 1.0f);
    line.RenderFrame(55000 + 4242);
    EXPECT_FLOAT_EQ(line.stripOffset1, -1.0f);

    // A frame before the first still covers the screen.
    line = StartedLine(60000);
    line.RenderFrame(60000 - 1000);
    for (float offset : {line.stripOffset1, line.stripOffset2, line.stripOffset3}) {
        EXPECT_GE(offset, -1.0f);
        EXPECT_LT(offset, 0.0f);
    }
}

TEST(LineEffect, FadesInOverTenSecondsAndOutAfter89000)
{
    CLineEffect line = StartedLine(80000);
    const std::pair<LONG, float> levels[] = {
        {80000, 0.0f}, {85000, 0.5f}, {89000, 0.9f},
        {89001, 1.0f - 1.0f / 4000.0f},  // the fade-out replaces the fade-in
        {91000, 0.5f}, {93000, 0.0f},
    };
    for (const auto& [time, level] : levels) EXPECT_FLOAT_EQ(recorder::ColourAt(line, time), level) << time;
    EXPECT_LT(recorder::ColourAt(line, 94000), 0.0f);

    CLineEffect late = StartedLine(90000);
    EXPECT_FLOAT_EQ(recorder::ColourAt(late, 90000), 0.75f) << "a late first frame starts from the fade-out";
}

}  // namespace
