// The panel's rise, the switch to the second text at 201000, the shared flag and the GL state.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "effects/scroller.h"
#include "effects/scroller_started.h"
#include "tests/support/recorder.h"

namespace {

struct Frame {
    double texture;
    float bottom, top;
};

Frame Render(CScrollerEffect& scroller, LONG time)
{
    recorder::Reset();
    scroller.RenderFrame(time);
    std::vector<RecordedCall> vertices = recorder::CallsNamed("glVertex3f");
    return {recorder::CallsNamed("glBindTexture").at(0).Arg(1), float(vertices.at(0).Arg(1)),
            float(vertices.at(2).Arg(1))};
}

CScrollerEffect Initialised(int width, int height)
{
    recorder::Reset();
    CScrollerEffect scroller;
    scroller.Init(width, height);
    return scroller;
}

TEST(ScrollerEffect, SetsUpTheLetterboxedOverlayAndDrawsOnePanel)
{
    CScrollerEffect scroller = Initialised(640, 480);
    scroller.Prepare();
    scroller.RenderFrame(161000);
    scroller.End();
    const std::vector<std::string> expected = {
        "DEMOGL_TextureLoad", "DEMOGL_TextureLoad", "DEMOGL_TextureUpload", "DEMOGL_TextureUpload", "glPushAttrib",
        "glEnable", "glBlendFunc", "glScissor", "glEnable", "glEnable", "glTexEnvi", "glBindTexture",
        "glMatrixMode", "glPushMatrix", "glLoadIdentity", "glOrtho", "glMatrixMode", "glLoadIdentity",
        "glTranslatef", "glColor4f", "glBegin", "glTexCoord2f", "glVertex3f", "glTexCoord2f", "glVertex3f",
        "glTexCoord2f", "glVertex3f", "glTexCoord2f", "glVertex3f", "glEnd", "glMatrixMode", "glPopMatrix",
        "glPopAttrib", "DEMOGL_TextureUnUpload", "DEMOGL_TextureUnUpload"};
    EXPECT_EQ(recorder::Names(), expected);
    EXPECT_EQ(recorder::Calls()[0].text, "demotex\\Txts4.tga");
    EXPECT_EQ(recorder::Calls()[1].text, "demotex\\Txts3.tga");
    EXPECT_EQ(recorder::CallsNamed("glScissor").at(0).args, (std::vector<double>{0, 96, 640, 288}));
    EXPECT_EQ(recorder::Count("glDepthFunc"), 0u) << "the depth test is left as the frame has it";
    EXPECT_EQ(recorder::CallsNamed("glPushAttrib").at(0).Arg(0), 0x6108);
}

TEST(ScrollerEffect, TheLetterboxFollowsTheOutputSize)
{
    CScrollerEffect scroller = Initialised(1024, 768);
    scroller.RenderFrame(161000);
    EXPECT_EQ(recorder::CallsNamed("glScissor").at(0).args, (std::vector<double>{0, 154, 1024, 460}));
}

TEST(ScrollerEffect, RaisesTheSharedFlagOnItsFirstFrame)
{
    g_scrollerStarted = false;
    CScrollerEffect scroller = Initialised(640, 480);
    scroller.Prepare();
    EXPECT_FALSE(g_scrollerStarted) << "uploading is not starting";
    Frame first = Render(scroller, 161000);
    EXPECT_TRUE(g_scrollerStarted);
    EXPECT_EQ(scroller.startTime, 161000);
    EXPECT_FLOAT_EQ(first.bottom, -1.0f);
    EXPECT_FLOAT_EQ(first.top, -0.27f);
}

TEST(ScrollerEffect, SwitchesToTheSecondTextJustAfter201000)
{
    CScrollerEffect scroller = Initialised(640, 480);
    Render(scroller, 161000);
    Frame last = Render(scroller, 201000);
    EXPECT_EQ(last.texture, scroller.firstTexture);
    EXPECT_FLOAT_EQ(last.bottom, 1.0f) << "the credits have just left the top";
    Frame next = Render(scroller, 201001);
    EXPECT_EQ(next.texture, scroller.secondTexture);
    EXPECT_FLOAT_EQ(next.bottom, 0.001f / 20.0f - 1.0f);
    EXPECT_FLOAT_EQ(Render(scroller, 211000).bottom, -0.5f);
}

TEST(ScrollerEffect, AFirstFrameAfterTheSwitchShowsOnlyTheSecondText)
{
    g_scrollerStarted = false;
    CScrollerEffect scroller = Initialised(640, 480);
    Frame first = Render(scroller, 211000);
    EXPECT_TRUE(g_scrollerStarted);
    EXPECT_EQ(first.texture, scroller.secondTexture);
    EXPECT_FLOAT_EQ(first.bottom, -0.5f) << "timed from 201000, not from the first frame";
}

}  // namespace
