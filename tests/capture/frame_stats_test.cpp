// The benchmark's figures: percentiles of the frame times and the slowest seconds of the demo.
#include <gtest/gtest.h>

#include "capture/frame_stats.h"

namespace {

TEST(FrameStats, PercentilesAreFrameTimesSomeFrameTook)
{
    FrameStats stats;
    // 100 frames taking 1..100 ms, added out of order.
    for (int i = 0; i < 100; ++i) stats.Add(i * 10, ((i * 37) % 100 + 1) / 1000.0, {});
    const BenchmarkSummary summary = stats.Summarise(2.0);
    EXPECT_EQ(summary.frames, 100);
    EXPECT_DOUBLE_EQ(summary.meanFps, 50.0);
    EXPECT_NEAR(summary.p50Ms, 50, 1e-9);
    EXPECT_NEAR(summary.p95Ms, 95, 1e-9);
    EXPECT_NEAR(summary.p99Ms, 99, 1e-9);
    EXPECT_NEAR(summary.maxMs, 100, 1e-9);

    const BenchmarkSummary none = FrameStats().Summarise(0.0);
    EXPECT_EQ(none.frames, 0);
    EXPECT_EQ(none.p99Ms, 0);
    const std::string text = FormatBenchmark(none, 64, 48, 30);
    EXPECT_NE(text.find("frames: 0"), std::string::npos) << text;
    EXPECT_NE(text.find("size: 64x48, 30 frames a second"), std::string::npos) << text;
}

TEST(FrameStats, SlowestSecondsSumTheirFramesAndNameEveryEffectSeen)
{
    FrameStats stats;
    for (int second = 0; second < 8; ++second) {
        for (int frame = 0; frame < 10; ++frame) {
            const std::int32_t time = second * 1000 + frame * 100;
            // Second 3 is slow, second 6 slower; an effect that starts mid-second still counts.
            const double cost = second == 6 ? 0.02 : second == 3 ? 0.01 : 0.001;
            std::vector<std::string> effects = {"CONTROL"};
            if (second == 6 && frame >= 5) effects.push_back("ZEP");
            stats.Add(time, cost, effects);
        }
    }
    const BenchmarkSummary summary = stats.Summarise(1.0);
    ASSERT_EQ(summary.slowest.size(), 5u);
    EXPECT_EQ(summary.slowest[0].startMs, 6000);
    EXPECT_NEAR(summary.slowest[0].seconds, 0.2, 1e-9);
    EXPECT_EQ(summary.slowest[0].frames, 10);
    EXPECT_EQ(summary.slowest[0].effects, (std::set<std::string>{"CONTROL", "ZEP"}));
    EXPECT_EQ(summary.slowest[1].startMs, 3000);
    const std::string text = FormatBenchmark(summary, 640, 480, 10);
    // A second's figure is its frames' total, said as such, with the cost of one frame beside it.
    EXPECT_NE(text.find("6.000 s    200.0 ms for 10 frames (20.0 ms each)  CONTROL ZEP"), std::string::npos) << text;

    FrameStats single;
    single.Add(500, 0.004, {"STAR"});
    const std::string one = FormatBenchmark(single.Summarise(0.004), 640, 480, 1);
    EXPECT_NE(one.find("4.0 ms for 1 frame (4.0 ms each)  STAR"), std::string::npos) << one;
}

}  // namespace
