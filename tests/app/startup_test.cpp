// The entry function against the recording host: what it registers, in which order, with which
// record and variables, and what it hands back as the exit status.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "app/effect_catalog.h"
#include "effects/control.h"
#include "effects/rcube.h"
#include "effects/spot.h"
#include "host/timeline_params.h"
#include "tests/support/recorder.h"

namespace {

int RunEntry()
{
    char commandLine[] = "";
    return WinMain(nullptr, nullptr, commandLine, 1);
}

template <typename Effect>
Effect* Registered(const std::string& name)
{
    for (const RecordedCall& call : recorder::CallsNamed("DEMOGL_EffectRegister"))
        if (call.text == name) return reinterpret_cast<Effect*>(static_cast<std::uintptr_t>(call.Arg(0)));
    return nullptr;
}

TEST(Startup, SetsTheVariablesThenRegistersEveryEffectOnceInItsOrderAsSeparateObjects)
{
    recorder::Reset();
    RunEntry();
    const std::string variables =
        "DEMOGL_SetVariable(\"bool\",1,1) DEMOGL_SetVariable(\"int\",2,1) DEMOGL_SetVariable(\"demodat.zip\",4) "
        "DEMOGL_SetVariable(\"bool\",12,1) DEMOGL_SetVariable(\"bool\",6,0) DEMOGL_SetVariable(\"bool\",9,0) "
        "DEMOGL_EffectRegister(";
    EXPECT_EQ(recorder::Transcript().substr(0, variables.size()), variables);
    EXPECT_EQ(recorder::Count("DEMOGL_SetVariable"), 6u) << "none after registration";
    std::vector<std::string> names;
    std::set<double> objects;
    for (const RecordedCall& call : recorder::CallsNamed("DEMOGL_EffectRegister")) {
        names.push_back(call.text);
        objects.insert(call.Arg(0));
    }
    const std::vector<std::string> expected = {
        "SNOW",  "STAR", "CUBE",  "CUBE2",  "CUBE3",    "CUBE4", "CUBE5",  "CUBE6",    "CUBE7",    "CUBE8",  "CUBE9",   "LOGO",
        "LINE",  "SPOT", "SPOT2", "SPOT3",  "SPOT4",    "SPLASH", "NDSPLASH", "ZEP", "RCUBE", "RCUBE2", "SCROLLER", "CONTROL"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(objects.size(), expected.size()) << "every name needs an object of its own";
    EXPECT_EQ(objects.count(0), 0u);
}

TEST(Startup, DeclaresForEachEffectTheParamTextsItReallyReads)
{
    recorder::Reset();
    RunEntry();
    const std::vector<EffectParameters>& declared = DeclaredEffectParameters();
    std::vector<std::string> names;
    for (const EffectParameters& entry : declared) names.push_back(entry.effect);
    std::vector<std::string> registered;
    for (const RecordedCall& call : recorder::CallsNamed("DEMOGL_EffectRegister")) registered.push_back(call.text);
    EXPECT_EQ(names, registered) << "the build checks timelines against this list";
    // Every keyword declared for the frame clear changes its mask from some state; a near miss does not.
    for (const EffectParameters& entry : declared) {
        if (entry.effect != "CONTROL") {
            EXPECT_TRUE(entry.accepted.empty()) << entry.effect;
            continue;
        }
        ASSERT_EQ(entry.accepted.size(), 4u);
        for (const std::string& keyword : entry.accepted) {
            CControlEffect control;
            control.Init(640, 480);
            std::string text = "COLOR OFF";
            control.ReceiveParam(text.data());
            text = "DEPTH OFF";
            control.ReceiveParam(text.data());
            const unsigned before = control.clearMask;
            text = keyword;
            control.ReceiveParam(text.data());
            EXPECT_NE(control.clearMask, before) << keyword;
        }
    }
}

TEST(Startup, TheRecordHoldsItsValuesAtTheirPositions)
{
    recorder::Reset();
    RunEntry();
    unsigned char bytes[sizeof(SStartupDat)];
    std::memcpy(bytes, &recorder::LastStartup(), sizeof bytes);
    ASSERT_EQ(sizeof bytes, 544u);
    auto int32At = [&](size_t offset) {
        std::int32_t value;
        std::memcpy(&value, bytes + offset, 4);
        return value;
    };
    // The single-byte fields, by offset.
    const std::pair<size_t, int> flags[] = {{0, 0},   {8, 1},   {9, 1},   {10, 1},  {523, 1}, {524, 1},
                                            {525, 1}, {532, 1}, {533, 1}, {534, 0}, {535, 0}, {536, 1}};
    for (auto [offset, value] : flags) EXPECT_EQ(bytes[offset], value) << "byte " << offset;
    EXPECT_EQ(int32At(4), 1);
    EXPECT_EQ(int32At(528), 0);
    EXPECT_EQ(int32At(540), 90);
    auto nameField = [&](size_t offset) { return std::string(reinterpret_cast<const char*>(bytes + offset), 256); };
    EXPECT_EQ(nameField(11), std::string("TarnelVois") + std::string(246, '\0')) << "zero-filled to its end";
    EXPECT_EQ(nameField(267), std::string("KorbaPlunte") + std::string(245, '\0'));
}

TEST(Startup, KindsAreInPlaceWhenTheRunBegins)
{
    recorder::Reset();
    std::vector<int> spotKinds, latticeKinds;
    recorder::runHook = [&] {
        for (const char* name : {"SPOT", "SPOT2", "SPOT3", "SPOT4"}) spotKinds.push_back(Registered<CSpotEffect>(name)->kind);
        for (const char* name : {"RCUBE", "RCUBE2"}) latticeKinds.push_back(Registered<CRCubeEffect>(name)->kind);
    };
    RunEntry();
    EXPECT_EQ(spotKinds, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(latticeKinds, (std::vector<int>{1, 2}));
}

TEST(Startup, TheHostIsEndedAfterTheRunAndAFailedRunIsNotReportedAsSuccess)
{
    recorder::Reset();
    EXPECT_EQ(RunEntry(), 0);
    ASSERT_GE(recorder::Calls().size(), 2u);
    EXPECT_EQ(recorder::Transcript(recorder::Calls().size() - 2), "DEMOGL_AppRun(\"Tarnelvois\",0,0,0,1) DEMOGL_AppEnd");

    recorder::Reset();
    recorder::runResult = 1;
    EXPECT_EQ(RunEntry(), 1);
}

}  // namespace
