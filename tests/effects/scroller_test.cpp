// The panel's rise, the switch to the second text at 201000, the shared flag and the GL state.
#include <gtest/gtest.h>

#include "effects/scroller.h"
#include "effects/scroller_started.h"
#include "tests/support/recorder.h"

namespace {

struct Panel {
    double texture;
    float bottom, top;
};

Panel At(CScrollerEffect& scroller, LONG time)
{
    recorder::Frame(scroller, time);
    std::vector<RecordedCall> vertices = recorder::CallsNamed("glVertex3f");
    return {recorder::CallsNamed("glBindTexture").at(0).Arg(1), float(vertices.at(0).Arg(1)),
            float(vertices.at(2).Arg(1))};
}

TEST(ScrollerEffect, SetsUpTheLetterboxedOverlayAndDrawsOnePanel)
{
    recorder::Reset();
    CScrollerEffect scroller;
    scroller.Init(640, 480);
    scroller.Prepare();
    scroller.RenderFrame(161000);
    scroller.End();
    // The depth test is left as the frame has it.
    EXPECT_EQ(recorder::Transcript(),
        "DEMOGL_TextureLoad(\"demotex\\Txts4.tga\",3,0,10497,10497,9729,9729,0,0,0,32855,2) "
        "DEMOGL_TextureLoad(\"demotex\\Txts3.tga\",3,0,10497,10497,9729,9729,0,0,0,32855,2) "
        "DEMOGL_TextureUpload(1) DEMOGL_TextureUpload(2) glPushAttrib(24840) glEnable(3042) "
        "glBlendFunc(768,769) glScissor(0,96,640,288) glEnable(3089) glEnable(3553) glTexEnvi(8960,8704,8448) "
        "glBindTexture(3553,1) glMatrixMode(5889) glPushMatrix glLoadIdentity glOrtho(0,1,0,1,-1,1) "
        "glMatrixMode(5888) glLoadIdentity glTranslatef(0,0,-0.1) glColor4f(1,1,1,1) glBegin(7) "
        "glTexCoord2f(0,0) glVertex3f(0.2,-1,-0.45) glTexCoord2f(1,0) glVertex3f(0.8,-1,-0.45) "
        "glTexCoord2f(1,1) glVertex3f(0.8,-0.27,-0.45) glTexCoord2f(0,1) glVertex3f(0.2,-0.27,-0.45) glEnd "
        "glMatrixMode(5889) glPopMatrix glPopAttrib DEMOGL_TextureUnUpload(1) DEMOGL_TextureUnUpload(2)");

    scroller.Init(1024, 768);
    recorder::Frame(scroller, 161000);
    EXPECT_EQ(recorder::CallsNamed("glScissor").at(0).args, (std::vector<double>{0, 154, 1024, 460}))
        << "the letterbox follows the output size";
}

TEST(ScrollerEffect, RaisesTheSharedFlagOnItsFirstFrameAndSwitchesTextJustAfter201000)
{
    g_scrollerStarted = false;
    CScrollerEffect scroller;
    scroller.Init(640, 480);
    scroller.Prepare();
    EXPECT_FALSE(g_scrollerStarted) << "uploading is not starting";
    EXPECT_FLOAT_EQ(At(scroller, 161000).top, -0.27f);
    EXPECT_TRUE(g_scrollerStarted);

    Panel last = At(scroller, 201000);
    EXPECT_EQ(last.texture, scroller.firstTexture);
    EXPECT_FLOAT_EQ(last.bottom, 1.0f) << "the credits have just left the top";
    Panel next = At(scroller, 201001);
    EXPECT_EQ(next.texture, scroller.secondTexture);
    EXPECT_FLOAT_EQ(next.bottom, 0.001f / 20.0f - 1.0f);
}

TEST(ScrollerEffect, AFirstFrameAfterTheSwitchShowsOnlyTheSecondText)
{
    g_scrollerStarted = false;
    CScrollerEffect scroller;
    scroller.Init(640, 480);
    Panel first = At(scroller, 211000);
    EXPECT_TRUE(g_scrollerStarted);
    EXPECT_EQ(first.texture, scroller.secondTexture);
    EXPECT_FLOAT_EQ(first.bottom, -0.5f) << "timed from 201000, not from the first frame";
}

}  // namespace
