// The airship: where it slides and stops, how the scroller's flag switches its phase, and its fade.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "effects/scroller_started.h"
#include "effects/zep.h"
#include "tests/support/recorder.h"

namespace {

struct Frame {
    float red, green, blue;
    float left;
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
        recorder::Reset();
        zep.RenderFrame(t);
        RecordedCall colour = recorder::CallsNamed("glColor4f").at(0);
        std::vector<RecordedCall> vertices = recorder::CallsNamed("glVertex3f");
        EXPECT_NEAR(vertices.at(1).Arg(0) - vertices.at(0).Arg(0), 0.4, 1e-6) << "the picture keeps its width";
        return Frame{float(colour.Arg(0)), float(colour.Arg(1)), float(colour.Arg(2)), float(vertices[0].Arg(0))};
    }

    CZepEffect zep;
};

TEST_F(ZepEffectTest, SlidesInFromTheRightUnderABlueTintAndStopsAtTheLeftEdge)
{
    Frame first = At(142000);
    EXPECT_FLOAT_EQ(first.left, 0.7f);
    EXPECT_EQ(first.blue, 0.0f);

    Frame half = At(144500);
    EXPECT_NEAR(half.left, 0.6f, 1e-6);
    EXPECT_NEAR(half.red, 0.5f / 3.5f, 1e-6);
    EXPECT_NEAR(half.green, 0.5f / 2.5f, 1e-6);
    EXPECT_NEAR(half.blue, 0.5f / 1.75f, 1e-6);

    Frame tinted = At(147001);
    EXPECT_NEAR(tinted.red, 0.2857f, 1e-4) << "brightness holds at 1 after five seconds";
    EXPECT_NEAR(tinted.blue, 0.5714f, 1e-4);

    EXPECT_NEAR(At(160000).left, -0.02f, 1e-5);
    EXPECT_FLOAT_EQ(At(160500).left, -0.03f) << "must stop, not run off the screen";
    EXPECT_FLOAT_EQ(At(200000).left, -0.03f);
    EXPECT_EQ(zep.scrollerPhaseStart, -1) << "the slide must not start the bright phase's clock";
}

TEST_F(ZepEffectTest, JumpsToTheLeftEdgeAndTheBrightRuleWhenTheScrollerStarts)
{
    At(142000);
    At(150000);
    g_scrollerStarted = true;

    Frame jump = At(151000);
    EXPECT_FLOAT_EQ(jump.left, -0.03f);
    EXPECT_NEAR(jump.red, 0.2857f, 1e-6);
    EXPECT_NEAR(jump.green, 0.4f, 1e-6);
    EXPECT_NEAR(jump.blue, 0.5714f, 1e-6);

    Frame warming = At(154000);
    EXPECT_NEAR(warming.red, 0.7857f, 1e-5);
    EXPECT_NEAR(warming.blue, 1.0714f, 1e-5) << "overshoots; the GL clamps it";
    EXPECT_EQ(zep.scrollerPhaseStart, 151000);
    EXPECT_EQ(zep.startTime, 142000);
}

TEST_F(ZepEffectTest, NeverSlidesWhenTheScrollerStartedFirst)
{
    g_scrollerStarted = true;
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
    EXPECT_NEAR(At(203000).blue, 0.5f, 1e-6);
    EXPECT_NEAR(At(205000).green, 0.0f, 1e-6);

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
    zep.End();
    ASSERT_EQ(recorder::Names(), (std::vector<std::string>{"DEMOGL_TextureLoad", "DEMOGL_TextureUpload",
                                                           "DEMOGL_TextureUnUpload"}));
    EXPECT_EQ(recorder::Calls()[0].text, "demotex\\Zep.tga");
    EXPECT_EQ(recorder::Calls()[0].args,
              (std::vector<double>{3, 0, 0x2901, 0x2901, 0x2601, 0x2601, 0, 0, 0, 0x8057, 2}));

    recorder::Reset();
    zep.RenderFrame(0);
    std::string names;
    for (const std::string& name : recorder::Names()) names += name + " ";
    EXPECT_EQ(names, "glPushAttrib glEnable glBlendFunc glEnable glDepthFunc glEnable glTexEnvi glBindTexture "
                     "glMatrixMode glPushMatrix glLoadIdentity glOrtho glMatrixMode glLoadIdentity glTranslatef "
                     "glColor4f glBegin glTexCoord2f glVertex3f glTexCoord2f glVertex3f glTexCoord2f glVertex3f "
                     "glTexCoord2f glVertex3f glEnd glMatrixMode glPopMatrix glPopAttrib ");
    const std::vector<RecordedCall>& calls = recorder::Calls();
    ASSERT_EQ(calls.size(), 29u);
    EXPECT_EQ(calls[0].Arg(0), 0x6108);
    EXPECT_EQ(calls[2].args, (std::vector<double>{GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR}));
    EXPECT_EQ(calls[3].Arg(0), GL_DEPTH_TEST);
    EXPECT_EQ(calls[4].Arg(0), GL_LEQUAL);
    EXPECT_EQ(calls[5].Arg(0), GL_TEXTURE_2D);
    EXPECT_EQ(calls[7].Arg(1), double(zep.texture));

    EXPECT_EQ(calls[17].args, (std::vector<double>{0, 0}));
    EXPECT_EQ(calls[18].args, (std::vector<double>{0.7f, 0.325f, -0.45f}));
    EXPECT_EQ(calls[21].args, (std::vector<double>{1, 1}));
    EXPECT_NEAR(calls[22].Arg(1), 0.875, 1e-6);
}

}  // namespace
