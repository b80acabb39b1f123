// The clear mask and the keywords that change it.
#include <gtest/gtest.h>

#include "effects/control.h"
#include "tests/support/recorder.h"

namespace {

void Send(CControlEffect& control, const char* text)
{
    std::string copy = text;
    control.ReceiveParam(copy.data());
}

TEST(ControlEffect, KeywordsChangeTheMaskAndInitForgetsThem)
{
    CControlEffect control;
    EXPECT_EQ(control.clearMask, 0x4100u) << "a frame before Init must not clear with an unset mask";
    control.Init(640, 480);
    // Each keyword after the previous: OFF toggles its bit, ON sets it; anything else is ignored.
    const std::pair<const char*, unsigned> steps[] = {
        {"COLOR OFF", 0x0100u}, {"COLOR OFF", 0x4100u}, {"DEPTH OFF", 0x4000u}, {"DEPTH ON", 0x4100u},
        {"DEPTH ON", 0x4100u},  {"color off", 0x4100u}, {"COLOR OFF ", 0x4100u}, {"COLOR OF", 0x4100u},
        {"", 0x4100u},          {"DEPTH", 0x4100u},     {"COLOR OFF", 0x0100u}, {"DEPTH OFF", 0u}};
    for (const auto& [text, mask] : steps) {
        Send(control, text);
        EXPECT_EQ(control.clearMask, mask) << "after '" << text << "'";
    }
    recorder::Reset();
    control.RenderFrame(100);
    EXPECT_EQ(recorder::Transcript(), "glClear(0)");

    control.Init(640, 480);
    recorder::Frame(control, 0);
    EXPECT_EQ(recorder::Transcript(), "glClear(16640)") << "colour and depth";
}

}  // namespace
