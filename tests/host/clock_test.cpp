#include "host/clock.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(FixedStep, FrameTimesRoundDownAndNeverWrap) {
    EXPECT_EQ(FixedStepTime(1, 60), 16);
    // A whole day at 1000 fps needs 64-bit intermediate arithmetic.
    EXPECT_EQ(FixedStepTime(86'400'000, 1000), 86'400'000);
    EXPECT_EQ(FixedStepTime(5'184'000, 60), 86'400'000);
    EXPECT_EQ(FixedStepTime(3'000'000'000, 1000), std::numeric_limits<std::int32_t>::max());
}

TEST(FixedStep, FirstFrameAtOrAfterIsTheSmallestSuchFrame) {
    for (const int fps : {1, 7, 24, 30, 60, 144, 1000}) {
        for (std::int32_t t = 0; t <= 3000; ++t) {
            const std::int64_t k = FirstFrameAtOrAfter(t, fps);
            ASSERT_GE(FixedStepTime(k, fps), t) << "fps " << fps << ", t " << t;
            if (k > 0) {
                ASSERT_LT(FixedStepTime(k - 1, fps), t) << "fps " << fps << ", t " << t;
            }
        }
    }
    EXPECT_EQ(FirstFrameAtOrAfter(86'400'000, 60), 5'184'000);
}

TEST(PlaybackClock, PauseFreezesAndSkipMovesButNeverBeforeZero) {
    PlaybackClock clock;
    clock.Start(10'000, 5000);
    EXPECT_EQ(clock.Time(10'250), 5250);
    EXPECT_EQ(clock.Time(9000), 5000);  // a reading from before the start
    clock.SetPaused(true, 12'000);
    clock.SetPaused(true, 60'000);  // pausing twice must not move the frozen time
    EXPECT_EQ(clock.Time(70'000), 7000);
    clock.Skip(10'000, 71'000);  // skipping while paused stays paused
    EXPECT_TRUE(clock.Paused());
    EXPECT_EQ(clock.Time(75'000), 17'000);

    clock.SetPaused(false, 80'000);
    clock.SetPaused(false, 90'000);  // nor resuming twice
    EXPECT_EQ(clock.Time(90'500), 27'500);
    clock.Skip(-60'000, 90'500);
    EXPECT_EQ(clock.Time(90'500), 0);
    EXPECT_EQ(clock.Time(90'600), 100);
}

}  // namespace
