// The progress line: what it says, and how often it speaks on a terminal and in a log.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "capture/frame_cost.h"
#include "capture/progress.h"
#include "host/timeline.h"

namespace {

// What a progress line prints over a run of 'frames' frames at 60 a second.
std::string Shown(bool terminal, int frames)
{
    std::FILE* file = std::tmpfile();
    ProgressLine line(file, terminal, frames, 0.0);
    for (int frame = 1; frame <= frames; ++frame) line.Update(frame, frame / 60.0);
    line.Finish(frames, frames / 60.0);
    std::fflush(file);
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text += char(c);
    std::fclose(file);
    return text;
}

TEST(Progress, SaysFramesPercentRateAndTimeLeft)
{
    EXPECT_EQ(FormatProgress(0, 15300, 0), "[........................] 0/15300   0.0%");
    const std::string half = FormatProgress(7650, 15300, 60);
    EXPECT_NE(half.find("[############............] 7650/15300  50.0%"), std::string::npos) << half;
    // 7650 frames left at 60 a second: 127.5 s, shown rounded up.
    EXPECT_NE(half.find("60.0 fps  2:08 left"), std::string::npos) << half;
    EXPECT_NE(FormatProgress(10, 400000, 1).find("111:06:30 left"), std::string::npos);
    // More frames than announced (a rounding at the end) never shows past 100 %.
    EXPECT_NE(FormatProgress(12, 10, 5).find("10/10 100.0%"), std::string::npos);
}

TEST(Progress, ATerminalGetsOneRewrittenLineALogAFewLines)
{
    const std::string shown = Shown(true, 600);
    EXPECT_EQ(shown.find('\n'), shown.size() - 1) << "one line, ended once at the finish";
    EXPECT_LE(std::count(shown.begin(), shown.end(), '\r'), 41) << "not redrawn for every frame";
    EXPECT_NE(shown.find("600/600 100.0%"), std::string::npos);

    const std::string logged = Shown(false, 1200);
    EXPECT_EQ(logged.find('\r'), std::string::npos);
    EXPECT_EQ(std::count(logged.begin(), logged.end(), '\n'), 4) << logged;  // at 5, 10, 15 and 20 s
    EXPECT_EQ(Shown(false, 60), "") << "a run shorter than the interval leaves the log alone";
}

}  // namespace

namespace {

struct RecordedSecond {
    double seconds;                     // wall time its 60 frames took
    std::vector<std::string> effects;   // running during it
};

// One real capture, the default video (960x720 in 1280x720, 60 fps) of the whole piece on two
// shared cores: for each second of the piece, how long its frames took and what was drawn.
std::vector<RecordedSecond> RecordedCapture()
{
    std::ifstream file(std::string(TARNELVOIS_TEST_DATA) + "/recorded_capture.txt");
    std::vector<RecordedSecond> run;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        int second = 0;
        RecordedSecond recorded;
        fields >> second >> recorded.seconds;
        for (std::string name; fields >> name;) recorded.effects.push_back(name);
        run.push_back(recorded);
    }
    return run;
}

// The share of the run's seconds at which the estimate is within a fifth of the time really left.
double ShareWithinAFifth(const std::vector<RecordedSecond>& run, const TimeLeftEstimate& estimate)
{
    constexpr int kFramesPerSecond = 60;
    const std::int64_t total = std::int64_t(run.size()) * kFramesPerSecond;
    double spent = 0, all = 0;
    for (const RecordedSecond& second : run) all += second.seconds;
    int close = 0, asked = 0;
    for (size_t second = 0; second + 1 < run.size(); ++second) {
        spent += run[second].seconds;
        const double truth = all - spent;
        const double estimated = estimate.SecondsLeft(std::int64_t(second + 1) * kFramesPerSecond, total, spent);
        ++asked;
        if (std::abs(estimated - truth) <= 0.2 * truth) ++close;
    }
    return double(close) / asked;
}

TEST(TimeLeftEstimate, StaysWithinAFifthForMostOfARecordedCapture)
{
    const std::vector<RecordedSecond> run = RecordedCapture();
    ASSERT_GE(run.size(), 250u);
    std::vector<double> costs;
    for (const RecordedSecond& second : run) costs.insert(costs.end(), 60, FrameCost(second.effects));
    const double weighed = ShareWithinAFifth(run, TimeLeftEstimate(costs));
    EXPECT_GE(weighed, 0.8);
    // The plain average of the frames so far, which is what the estimate must do better than.
    const double plain = ShareWithinAFifth(run, TimeLeftEstimate());
    EXPECT_LT(plain, weighed - 0.2) << "the recording no longer shows why costs are needed";
}

TEST(TimeLeftEstimate, CostsComeFromTheTimelineAndMustDescribeTheRun)
{
    Timeline timeline;
    std::string error;
    ASSERT_TRUE(ParseTimeline("0 start STAR 1\n1000 start RCUBE 2\n2000 stop RCUBE\n3000 end\n", "t", timeline, error))
        << error;
    // Frames 0..29 at 10 a second: the lattice's frames, and only those, cost more.
    const std::vector<double> costs = FrameCosts(timeline, 0, 30, 10);
    ASSERT_EQ(costs.size(), 30u);
    EXPECT_EQ(costs[9], costs[20]);
    EXPECT_GT(costs[10], costs[9]);
    EXPECT_EQ(costs[10], costs[19]);
    EXPECT_EQ(FrameCosts(timeline, 15, 5, 10).front(), costs[15]) << "a run starting late";

    // Ten cheap frames done in 10 s, ten frames twice as dear to come: 20 s left, not 10.
    std::vector<double> uneven(10, 1.0);
    uneven.insert(uneven.end(), 10, 2.0);
    EXPECT_DOUBLE_EQ(TimeLeftEstimate(uneven).SecondsLeft(10, 20, 10.0), 20.0);
    EXPECT_DOUBLE_EQ(TimeLeftEstimate(uneven).SecondsLeft(10, 30, 10.0), 20.0) << "costs of another run are ignored";
    EXPECT_LT(TimeLeftEstimate(uneven).SecondsLeft(0, 20, 0.0), 0) << "nothing known before the first frame";
}

}  // namespace
