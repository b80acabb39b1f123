// The progress line: what it says, and how often it speaks on a terminal and in a log.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "host/progress.h"

namespace {

std::string Contents(std::FILE* file)
{
    std::fflush(file);
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text += char(c);
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
    std::FILE* terminal = std::tmpfile();
    ProgressLine onTerminal(terminal, true, 600, 0.0);
    for (int frame = 1; frame <= 600; ++frame) onTerminal.Update(frame, frame / 60.0);
    onTerminal.Finish(600, 10.0);
    const std::string shown = Contents(terminal);
    EXPECT_EQ(shown.find('\n'), shown.size() - 1) << "one line, ended once at the finish";
    EXPECT_LE(std::count(shown.begin(), shown.end(), '\r'), 41) << "not redrawn for every frame";
    EXPECT_NE(shown.find("600/600 100.0%"), std::string::npos);

    std::FILE* log = std::tmpfile();
    ProgressLine inLog(log, false, 1200, 0.0);
    for (int frame = 1; frame <= 1200; ++frame) inLog.Update(frame, frame / 60.0);
    inLog.Finish(1200, 20.0);
    const std::string logged = Contents(log);
    EXPECT_EQ(logged.find('\r'), std::string::npos);
    EXPECT_EQ(std::count(logged.begin(), logged.end(), '\n'), 4) << logged;  // at 5, 10, 15 and 20 s

    std::FILE* shortLog = std::tmpfile();
    ProgressLine brief(shortLog, false, 60, 0.0);
    for (int frame = 1; frame <= 60; ++frame) brief.Update(frame, frame / 60.0);
    brief.Finish(60, 1.0);
    EXPECT_EQ(Contents(shortLog), "") << "a run shorter than the interval leaves the log alone";
    std::fclose(terminal), std::fclose(log), std::fclose(shortLog);
}

}  // namespace
