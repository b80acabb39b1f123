// The progress line: what it says, and how often it speaks on a terminal and in a log.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "host/progress.h"

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
