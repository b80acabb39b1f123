// The clear mask and the keywords that change it.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "effects/control.h"
#include "tests/support/recorder.h"

namespace {

void Send(CControlEffect& control, const char* text)
{
    std::string copy = text;
    control.ReceiveParam(copy.data());
}

TEST(ControlEffect, InitClearsColourAndDepth)
{
    recorder::Reset();
    CControlEffect control;
    control.Init(640, 480);
    control.RenderFrame(0);
    ASSERT_EQ(recorder::Names(), std::vector<std::string>{"glClear"});
    EXPECT_EQ(recorder::Calls()[0].Arg(0), GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

TEST(ControlEffect, OffKeywordsToggleAndOnKeywordsSet)
{
    CControlEffect control;
    control.Init(640, 480);
    Send(control, "COLOR OFF");
    EXPECT_EQ(control.clearMask, 0x0100u);
    Send(control, "COLOR OFF");
    EXPECT_EQ(control.clearMask, 0x4100u);
    Send(control, "DEPTH OFF");
    EXPECT_EQ(control.clearMask, 0x4000u);
    Send(control, "DEPTH ON");
    EXPECT_EQ(control.clearMask, 0x4100u);
    Send(control, "DEPTH ON");
    EXPECT_EQ(control.clearMask, 0x4100u);
    Send(control, "COLOR OFF");
    Send(control, "DEPTH OFF");
    EXPECT_EQ(control.clearMask, 0u);

    recorder::Reset();
    control.RenderFrame(100);
    EXPECT_EQ(recorder::CallsNamed("glClear").at(0).Arg(0), 0);
}

TEST(ControlEffect, OnlyExactKeywordsCount)
{
    CControlEffect control;
    control.Init(640, 480);
    for (const char* text : {"color off", "COLOR OFF ", "COLOR OF", "", "DEPTH"}) Send(control, text);
    EXPECT_EQ(control.clearMask, 0x4100u);
}

TEST(ControlEffect, InitForgetsEarlierKeywords)
{
    CControlEffect control;
    EXPECT_EQ(control.clearMask, 0x4100u) << "a frame before Init must not clear with an unset mask";
    control.Init(640, 480);
    Send(control, "COLOR OFF");
    control.Init(640, 480);
    EXPECT_EQ(control.clearMask, 0x4100u);
}

}  // namespace
