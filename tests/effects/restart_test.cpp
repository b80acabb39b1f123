// A fresh start: Init, then Prepare, then frames. The player gives one to every effect on each new
// pass, on Home and on a seek back, and to an effect whose timeline line asks for it. Whatever an
// earlier run left behind, and wherever the clock was, the frames must be those of an object
// started for the first time at the same moment.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "effects/control.h"
#include "effects/cube.h"
#include "effects/line.h"
#include "effects/logo.h"
#include "effects/ndsplash.h"
#include "effects/rcube.h"
#include "effects/scroller.h"
#include "effects/snow.h"
#include "effects/splash.h"
#include "effects/spot.h"
#include "effects/star.h"
#include "effects/zep.h"
#include "host/random.h"
#include "tests/support/recorder.h"

namespace {

struct Span {
    LONG from, to, step;
};

// One run from a fresh start: every frame's calls as one text. The recorder is reset first, so
// texture ids count from 1 again and two runs can be compared call for call.
std::vector<std::string> FreshRun(CEffect& effect, Span run)
{
    recorder::Reset();
    DemoSeedRandom(7);
    effect.Init(640, 480);
    effect.Prepare();
    std::vector<std::string> frames;
    for (LONG time = run.from; time <= run.to; time += run.step) {
        recorder::Frame(effect, time);
        frames.push_back(recorder::Transcript());
    }
    effect.End();
    return frames;
}

// The moment of the first frame that differs, or -1.
LONG FirstDifference(const std::vector<std::string>& expected, const std::vector<std::string>& actual, Span run)
{
    for (size_t frame = 0; frame < expected.size(); ++frame)
        if (frame >= actual.size() || expected[frame] != actual[frame]) return run.from + LONG(frame) * run.step;
    return -1;
}

using Make = std::function<std::unique_ptr<CEffect>()>;

// The first run ends later than the second begins: the clock goes back, as on a new pass.
void ExpectAFreshStartIsAFirstStart(const std::string& name, const Make& make, Span earlier, Span later)
{
    std::unique_ptr<CEffect> restarted = make();
    FreshRun(*restarted, earlier);
    const std::vector<std::string> again = FreshRun(*restarted, later);
    std::unique_ptr<CEffect> firstStart = make();
    const std::vector<std::string> first = FreshRun(*firstStart, later);
    EXPECT_EQ(FirstDifference(first, again, later), -1) << name << ": the first frame unlike a first start";
}

template <class Effect>
Make Maker(std::function<void(Effect&)> setUp = nullptr)
{
    return [setUp] {
        auto effect = std::make_unique<Effect>();
        if (setUp) setUp(*effect);
        return std::unique_ptr<CEffect>(std::move(effect));
    };
}

// Snow at full density, then from the start of its stretch in the piece: flakes spawned late in
// the first run must not linger, unseen, in the second. Stars likewise, over a shorter run.
TEST(FreshStart, ParticlesStartFromAnEmptySkyAfterTheClockWentBack)
{
    ExpectAFreshStartIsAFirstStart("SNOW", Maker<CSnowEffect>(), {60000, 165000, 3000}, {60000, 165000, 3000});
    ExpectAFreshStartIsAFirstStart("SNOW", Maker<CSnowEffect>(), {100000, 160000, 5000}, {62000, 100000, 2000});
    ExpectAFreshStartIsAFirstStart("STAR", Maker<CStarEffect>(), {0, 96000, 8000}, {0, 20000, 1000});
}

// Every other class: a first run late in the piece, then a fresh start earlier.
TEST(FreshStart, EveryEffectClassLooksAsOnItsFirstStartAtTheSameMoment)
{
    const Span earlier{150000, 230000, 4000}, later{20000, 100000, 4000};
    ExpectAFreshStartIsAFirstStart("CONTROL", Maker<CControlEffect>(), earlier, later);
    ExpectAFreshStartIsAFirstStart("CUBE", Maker<CCubeEffect>(), earlier, later);
    ExpectAFreshStartIsAFirstStart("LINE", Maker<CLineEffect>(), earlier, later);
    ExpectAFreshStartIsAFirstStart("LOGO", Maker<CLogoEffect>(), earlier, later);
    ExpectAFreshStartIsAFirstStart("NDSPLASH", Maker<CNdSplashEffect>(), earlier, later);
    ExpectAFreshStartIsAFirstStart("RCUBE", Maker<CRCubeEffect>([](CRCubeEffect& cube) { cube.kind = 1; }), earlier,
                                   later);
    ExpectAFreshStartIsAFirstStart("RCUBE2", Maker<CRCubeEffect>([](CRCubeEffect& cube) { cube.kind = 2; }), earlier,
                                   later);
    ExpectAFreshStartIsAFirstStart("SCROLLER", Maker<CScrollerEffect>(), earlier, later);
    ExpectAFreshStartIsAFirstStart("SPLASH", Maker<CSplashEffect>(), earlier, later);
    for (int kind = 1; kind <= 4; ++kind)
        ExpectAFreshStartIsAFirstStart("SPOT kind " + std::to_string(kind),
                                       Maker<CSpotEffect>([kind](CSpotEffect& spot) { spot.SetKind(kind); }), earlier,
                                       later);
    ExpectAFreshStartIsAFirstStart("ZEP", Maker<CZepEffect>(), earlier, later);
}

}  // namespace
