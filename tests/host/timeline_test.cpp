#include "host/timeline.h"
#include "host/timeline_params.h"

#include <gtest/gtest.h>

namespace {

using Kind = TimelineEvent::Kind;

std::string ErrorOf(const std::string& text) {
    Timeline timeline;
    std::string error;
    EXPECT_FALSE(ParseTimeline(text, "timeline.txt", timeline, error)) << text;
    return error;
}

TEST(ParseTimeline, ReadsEventsBetweenCommentsBlankLinesAndCarriageReturns) {
    const std::string text =
        "\xEF\xBB\xBF# the piece, d\xC3\xA9j\xC3\xA0 vu \xF0\x9F\x8E\xB5\r\n"
        "\r\n"
        "0 start CONTROL 0\r\n"
        "  \t0\tstart\tCUBE2   1000\n"
        "1500 param CONTROL \"  color and depth \"  \n"
        "1500 param CONTROL \"\"\n"
        "   # indented comment\n"
        "89000 stop CUBE2\n"
        "255000 end";  // no newline after the last line; CONTROL still runs, which is fine
    Timeline timeline;
    std::string error;
    ASSERT_TRUE(ParseTimeline(text, "timeline.txt", timeline, error)) << error;
    ASSERT_EQ(timeline.events.size(), 6u);
    EXPECT_EQ(timeline.endTime, 255000);

    const TimelineEvent& start = timeline.events[1];
    EXPECT_EQ(start.kind, Kind::Start);
    EXPECT_EQ(start.effect, "CUBE2");
    EXPECT_EQ(start.layer, 1000);
    EXPECT_EQ(start.line, 4);
    EXPECT_EQ(timeline.events[2].text, "  color and depth ");
    EXPECT_EQ(timeline.events[3].text, "");
    EXPECT_EQ(timeline.events[5].line, 9);
}

TEST(ParseTimeline, NamesTheLineAndTheFault) {
    const std::pair<std::string, std::string> cases[] = {
        {"0 begin CUBE 1\n", "timeline.txt:1: unknown command 'begin'"},
        {"# c\n0\n", "timeline.txt:2: missing command after the time"},
        {"0 start CUBE\n", "timeline.txt:1: start needs a layer after the effect name"},
        {"0 start\n", "timeline.txt:1: start needs an effect name"},
        {"0 start CUBE 1 2\n", "timeline.txt:1: extra field '2' (after the layer only 'fresh' may follow)"},
        {"0 start cube 1\n", "timeline.txt:1: effect name 'cube' must be upper-case letters, digits or '_'"},
        {"1e3 end\n", "timeline.txt:1: time must be a whole number of ms from 0 to 86400000, got '1e3'"},
        {"99999999999999999999999 end\n",
         "timeline.txt:1: time must be a whole number of ms from 0 to 86400000, got '99999999999999999999999'"},
        {"0 start CUBE 1001\n", "timeline.txt:1: layer must be a whole number from 0 to 1000, got '1001'"},
        {"0 start CUBE 1\n0 param CUBE color\n", "timeline.txt:2: param needs a text in double quotes"},
        {"0 start CUBE 1\n0 param CUBE \"color\n", "timeline.txt:2: missing closing quote"},
        {"0 start CUBE 1\n0 param CUBE \"color\" x\n", "timeline.txt:2: text after the closing quote"},
        {"0 start CUBE 1\n0 param CUBE \"a\"\"b\"\n", "timeline.txt:2: text after the closing quote"},
        {"500 start CUBE 1\n499 stop CUBE\n", "timeline.txt:2: time 499 is before the previous line's 500"},
        {"0 start CUBE 1\n5 start CUBE 2\n",
         "timeline.txt:2: start of CUBE, which is already running (started on line 1)"},
        {"0 stop CUBE\n", "timeline.txt:1: stop of CUBE, which is not running"},
        {"0 start CUBE 1\n1 stop CUBE\n2 stop CUBE\n", "timeline.txt:3: stop of CUBE, which is not running"},
        {"0 param CUBE \"x\"\n", "timeline.txt:1: param of CUBE, which is not running"},
        {"0 end\n\n1 end\n", "timeline.txt:3: a second end (the first is on line 1)"},
        {"0 end\n1 start CUBE 1\n", "timeline.txt:2: event after the end on line 1"},
        {"0 start CUBE 1\n# no end\n\n", "timeline.txt:3: no end line"},
        {"", "timeline.txt:1: no end line"},
        // Not text: a NUL, a broken sequence, an overlong '/', a lone surrogate, a sequence cut short at
        // the end, and an escape sequence that would reach the terminal inside the error message.
        {std::string("0 start CUBE 1\n0 st\0rt X 1\n0 end\n", 33), "timeline.txt:2: not a text file"},
        {"# \xC3(\n0 end\n", "timeline.txt:1: not a text file"},
        {"#\n#\n# \xC0\xAF\n0 end\n", "timeline.txt:3: not a text file"},
        {"# \xED\xA0\x80\n0 end\n", "timeline.txt:1: not a text file"},
        {"0 end\n# \xE2\x82", "timeline.txt:2: not a text file"},
        {"0 start CUBE 1\n5 \x1B]0;owned\x07stop CUBE\n9 end\n", "timeline.txt:2: not a text file"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ErrorOf(text), expected);
}

TEST(ParseTimeline, TakesACommentAfterTheFieldsButKeepsAHashInsideTheQuotes) {
    const std::string text =
        "0 start CONTROL 0 # the clear\n"
        "1 param CONTROL \"COLOR # OFF\"# not text\n"
        "2 param CONTROL \"#\" #\n"
        "3 stop CONTROL\t#\n"
        "4 end ## done\n";
    Timeline timeline;
    std::string error;
    ASSERT_TRUE(ParseTimeline(text, "timeline.txt", timeline, error)) << error;
    ASSERT_EQ(timeline.events.size(), 5u);
    EXPECT_EQ(timeline.events[0].layer, 0);
    EXPECT_EQ(timeline.events[1].text, "COLOR # OFF");
    EXPECT_EQ(timeline.events[2].text, "#");
    EXPECT_EQ(timeline.endTime, 4);
    // A comment stands for nothing: a field it replaces is still missing, and a '#' inside a word
    // is part of the word.
    EXPECT_EQ(ErrorOf("0 start # CUBE 1\n"), "timeline.txt:1: start needs an effect name");
    EXPECT_EQ(ErrorOf("0 start CUBE #1\n"), "timeline.txt:1: start needs a layer after the effect name");
    EXPECT_EQ(ErrorOf("0 start CUBE 1# x\n"), "timeline.txt:1: layer must be a whole number from 0 to 1000, got '1#'");
    EXPECT_EQ(ErrorOf("0 start CUBE 1\n0 param CUBE # \"x\"\n"), "timeline.txt:2: param needs a text in double quotes");
}

TEST(ParseTimeline, AStartMayAskForAFreshStartAndOnlyAStart) {
    const std::string text =
        "0 start CUBE 1\n1 stop CUBE\n2 start CUBE 1 fresh # from its first frame again\n3 stop CUBE\n"
        "4 start CUBE 1\t fresh\n5 end\n";
    Timeline timeline;
    std::string error;
    ASSERT_TRUE(ParseTimeline(text, "timeline.txt", timeline, error)) << error;
    std::vector<bool> fresh;
    for (const TimelineEvent& event : timeline.events) fresh.push_back(event.fresh);
    EXPECT_EQ(fresh, (std::vector<bool>{false, false, true, false, true, false}));

    EXPECT_EQ(ErrorOf("0 start CUBE 1 FRESH\n"), "timeline.txt:1: extra field 'FRESH' (after the layer only 'fresh' may follow)");
    EXPECT_EQ(ErrorOf("0 start CUBE 1 fresh fresh\n"), "timeline.txt:1: extra field 'fresh'");
    EXPECT_EQ(ErrorOf("0 start CUBE fresh\n"), "timeline.txt:1: layer must be a whole number from 0 to 1000, got 'fresh'");
    EXPECT_EQ(ErrorOf("0 start CUBE 1\n1 stop CUBE fresh\n"), "timeline.txt:2: extra field 'fresh'");
}

TEST(ParseTimeline, WithTheRegisteredNamesAnUnknownEffectIsReportedOnItsOwnLine) {
    // A misspelt start used to surface only at the stop of the effect meant, lines later.
    const std::string text = "0 start CONTROL 0\n142000 start ZAP 60\n# ...\n206000 stop ZEP\n255000 end\n";
    const std::vector<std::string> registered = {"CONTROL", "ZEP"};
    Timeline timeline;
    std::string error;
    EXPECT_FALSE(ParseTimeline(text, "timeline.txt", registered, timeline, error));
    EXPECT_EQ(error, "timeline.txt:2: unknown effect ZAP");
    EXPECT_EQ(ErrorOf(text), "timeline.txt:4: stop of ZEP, which is not running") << "without names, only pairing";
    EXPECT_TRUE(ParseTimeline("0 start ZEP 6 # ok\n9 stop ZEP\n9 end\n", "t", registered, timeline, error)) << error;
    EXPECT_EQ(timeline.events.size(), 3u);
}

TEST(ParamWarnings, OneLinePerTextItsEffectDoesNotReadSayingWhatItAccepts) {
    const std::string text =
        "0 start CONTROL 0\n0 start STAR 70\n0 start OTHER 1\n"
        "1 param CONTROL \"COLOR OFF\"\n"
        "2 param CONTROL \"COLOUR OFF\"\n"
        "3 param STAR \"hello\"\n"
        "4 param OTHER \"anything\"\n"
        "5 param CONTROL \"depth on\"\n"
        "9 end\n";
    Timeline timeline;
    std::string error;
    ASSERT_TRUE(ParseTimeline(text, "t.txt", timeline, error)) << error;
    const std::vector<EffectParameters> declared = {
        {"CONTROL", {"COLOR ON", "COLOR OFF", "DEPTH ON", "DEPTH OFF"}}, {"STAR", {}}};
    const std::vector<std::string> expected = {
        "t.txt:5: warning: \"COLOUR OFF\" does nothing: CONTROL accepts \"COLOR ON\", \"COLOR OFF\", \"DEPTH ON\", "
        "\"DEPTH OFF\"",
        "t.txt:6: warning: \"hello\" does nothing: STAR takes no parameters",
        "t.txt:8: warning: \"depth on\" does nothing: CONTROL accepts \"COLOR ON\", \"COLOR OFF\", \"DEPTH ON\", "
        "\"DEPTH OFF\""};
    EXPECT_EQ(ParamWarnings(timeline, declared, "t.txt"), expected) << "undeclared OTHER is not checked";
}

TEST(CheckTimelineNames, NamesTheFirstUnknownEffectAndItsLine) {
    Timeline timeline;
    std::string error;
    ASSERT_TRUE(ParseTimeline("0 start CUBE 1\n5 start CUBE10 2\n9 end\n", "timeline.txt", timeline, error));
    EXPECT_TRUE(CheckTimelineNames(timeline, {"CUBE", "CUBE10"}, "timeline.txt", error));
    EXPECT_FALSE(CheckTimelineNames(timeline, {"CUBE", "CUBE2"}, "timeline.txt", error));
    EXPECT_EQ(error, "timeline.txt:2: unknown effect CUBE10");
}

}  // namespace
