// The score parser: what a person may write, every mistake caught on its own line, and positions
// that follow the timeline they name.
#include "sound/score.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "sound/soundtrack.h"

namespace {

const char kTimeline[] =
    "0 start CONTROL 0\n"
    "1000 start SPLASH 80\n"
    "15000 stop SPLASH\n"
    "17000 start CUBE 20\n"
    "20000 stop CUBE\n"
    "30000 start CUBE 20\n"
    "40000 stop CUBE\n"
    "60000 stop CONTROL\n"
    "60000 end\n";

Timeline MakeTimeline(const std::string& text = kTimeline) {
    Timeline timeline;
    std::string error;
    EXPECT_TRUE(ParseTimeline(text, "timeline.txt", timeline, error)) << error;
    return timeline;
}

const std::string kHeader =
    "tempo 120\n"
    "instrument bell fm ratio=3.5 index=2 decay=1 sustain=0 release=0.5\n"
    "instrument kick kick\n"
    "pattern beat\n"
    "  x . . . x . . .\n";

audio::Score Parse(const std::string& body, const Timeline& timeline = MakeTimeline()) {
    audio::Score score;
    std::string error;
    EXPECT_TRUE(audio::ParseScore(kHeader + body, "score.txt", timeline, score, error)) << error;
    return score;
}

std::string ErrorOf(const std::string& text) {
    audio::Score score;
    std::string error;
    EXPECT_FALSE(audio::ParseScore(text, "score.txt", MakeTimeline(), score, error)) << text;
    return error;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

constexpr std::int64_t kFramesPerMs = audio::kSampleRate / 1000;

TEST(Score, PositionsNameTheTimelineAndTheBarGrid) {
    const audio::Score score = Parse(
        "hit bell A4 at start:SPLASH\n"
        "hit bell A4 at stop:SPLASH+2\n"
        "hit bell A4 at start:CUBE#2-1.5\n"
        "hit bell A4 at bar:3.5\n"
        "hit bell A4 at end-8\n");
    ASSERT_EQ(score.notes.size(), 5u);
    EXPECT_EQ(score.notes[0].onset, 1000 * kFramesPerMs);
    EXPECT_EQ(score.notes[1].onset, 7000 * kFramesPerMs);   // bar 3.5 = 7 s
    EXPECT_EQ(score.notes[2].onset, 16000 * kFramesPerMs);  // 15 s + 2 beats
    EXPECT_EQ(score.notes[3].onset, 29250 * kFramesPerMs);  // second start of CUBE less 1.5 beats
    EXPECT_EQ(score.notes[4].onset, 56000 * kFramesPerMs);
    EXPECT_EQ(score.frames, 60000 * kFramesPerMs);
    EXPECT_NEAR(score.notes[0].frequency, 440.0, 1e-9);
}

TEST(Score, MovingAnEffectMovesTheMusicThatNamesIt) {
    std::string moved = kTimeline;
    moved.replace(moved.find("1000 start SPLASH"), 17, "3000 start SPLASH");
    const audio::Score score = Parse("hit bell A4 at start:SPLASH+1\n", MakeTimeline(moved));
    ASSERT_EQ(score.notes.size(), 1u);
    EXPECT_EQ(score.notes[0].onset, 3500 * kFramesPerMs);
}

TEST(Score, PatternsRepeatUntilTheEndHoldAndFade) {
    const audio::Score score = Parse(
        "pattern tune step=1/2\n"
        "  C4 - - E4+G4' . A4!\n"
        "play beat on kick from bar:1 to bar:2\n"
        "play tune on bell from bar:4 to bar:4+4 transpose=12 fadeout=4\n");
    // The beat: two hits a repeat (8 sixteenths = 2 beats), two repeats in a bar.
    std::vector<std::int64_t> kicks;
    std::vector<const audio::Note*> bells;
    for (const audio::Note& note : score.notes) {
        if (note.patch == 1) kicks.push_back(note.onset / kFramesPerMs);
        else bells.push_back(&note);
    }
    EXPECT_EQ(kicks, (std::vector<std::int64_t>{2000, 2500, 3000, 3500}));
    // The tune: 6 eighths = 1.5 s, cut at 2 s after bar 4: C held three steps, E and G soft
    // together, A accented; then C again at 9.5 s, cut short by the end of the play.
    ASSERT_EQ(bells.size(), 5u);
    EXPECT_EQ(bells[0]->onset, 8000 * kFramesPerMs);
    EXPECT_EQ(bells[0]->length, 750 * kFramesPerMs);
    EXPECT_NEAR(bells[0]->frequency, 523.2511, 1e-3);  // C4 an octave up
    EXPECT_EQ(bells[1]->onset, bells[2]->onset);
    EXPECT_EQ(bells[3]->onset, 9250 * kFramesPerMs);
    EXPECT_EQ(bells[4]->onset, 9500 * kFramesPerMs);
    EXPECT_EQ(bells[4]->length, 500 * kFramesPerMs);
    EXPECT_LT(bells[1]->level, bells[3]->level);  // soft against accented
    EXPECT_LT(bells[4]->level, bells[0]->level);  // the fade-out
    for (const audio::Note& note : score.notes) EXPECT_GT(note.end, note.onset + note.length / 2);
}

TEST(Score, NotesAreOrderedByOnset) {
    const audio::Score score = Parse("hit bell A4 at bar:5\nhit bell A4 at bar:1\nplay beat on kick from bar:2\n");
    for (std::size_t i = 1; i < score.notes.size(); ++i) EXPECT_LE(score.notes[i - 1].onset, score.notes[i].onset);
}

TEST(Score, EveryMistakeIsOneLineNamingFileAndLine) {
    struct Case {
        std::string body;
        std::string message;
    };
    const Case cases[] = {
        {"hit bell A4 at start:NOPE", "score.txt:6: no effect NOPE in the timeline"},
        {"hit bell A4 at stop:CUBE#3", "score.txt:6: CUBE stops only 2 time(s) in the timeline"},
        {"hit bell A4 at start:CUBE#0", "score.txt:6: '#' in 'start:CUBE#0' must be followed by 1, 2, ..."},
        {"hit bell A4 at moment", "score.txt:6: 'moment' is not a position"},
        {"hit bell A4 at bar:x", "score.txt:6: bar number in 'bar:x' must be a number"},
        {"hit bell A4 at start:CUBE+2s", "score.txt:6: offset in 'start:CUBE+2s' must be a number of beats"},
        {"hit bell A4 at start:SPLASH-4", "score.txt:6: position start:SPLASH-4 is before the start of the piece"},
        {"hit bell A4 at end+1", "score.txt:6: position end+1 is after the end of the piece (60000 ms)"},
        {"hit bell A4 at end", "score.txt:6: the note at 60000 ms on bell sounds past the end of the piece (60000 ms)"},
        {"hit gong A4 at bar:1", "score.txt:6: unknown instrument 'gong'"},
        {"hit bell H4 at bar:1", "score.txt:6: 'H4' is not a step"},
        {"hit bell A4 at bar:1 length=40", "score.txt:6: length must be from 0.0625 to 32, got 40"},
        {"play tune on bell from bar:1", "score.txt:6: unknown pattern 'tune'"},
        {"play beat on kick from bar:2 to bar:1", "score.txt:6: play ends at bar:1, not after its start bar:2"},
        {"play beat on kick from bar:1 to bar:3\nplay beat on kick from bar:2 to bar:4",
         "score.txt:7: instrument kick already plays from 2000 to 6000 ms (line 6): one pattern at a time"},
        {"play beat on kick from bar:1 gain=loud", "score.txt:6: gain must be a number, got 'loud'"},
        {"play beat on kick from bar:1 speed=2", "score.txt:6: unknown setting 'speed' for play (known: transpose, gain, fadein, fadeout)"},
        {"play beat kick from bar:1", "score.txt:6: play needs: play PATTERN on INSTRUMENT from POS"},
        {"instrument bell fm", "score.txt:6: instrument bell defined twice"},
        {"instrument gong organ", "score.txt:6: unknown instrument kind 'organ'"},
        {"instrument gong fm cutoff=300", "score.txt:6: unknown setting 'cutoff' for a fm instrument"},
        {"instrument gong fm ratio=1e3", "score.txt:6: ratio must be a number, got '1e3'"},
        {"instrument gong kick pan=2", "score.txt:6: pan must be from -1 to 1, got 2"},
        {"instrument gong saw attack", "score.txt:6: expected key=value for a saw instrument, got 'attack'"},
        {"instrument gong saw q=1 q=2", "score.txt:6: setting 'q' given twice"},
        {"pattern beat", "score.txt:6: pattern beat defined twice"},
        {"pattern empty\nhit bell A4 at bar:1", "score.txt:6: pattern empty has no steps"},
        {"pattern held\n  - C4", "score.txt:7: '-' at the start of a pattern holds nothing"},
        {"pattern odd step=0/4", "score.txt:6: step must be from 1 to 64, got 0"},
        {"hit bell A4 at bar:1\n  C4 D4", "score.txt:7: indented line outside a pattern"},
        {"tempo 130", "score.txt:6: tempo given twice"},
        {"volume 3", "score.txt:6: unknown statement 'volume'"},
        {"hit bell A4 at bar:1\x01", "score.txt:6: not a text file"},
        {"reverb time=9", "score.txt:6: time must be from 0.1 to 2.5, got 9"},
        {"echo feedback=0.9", "score.txt:6: feedback must be from 0 to 0.7, got 0.9"},
        // An echo longer than the effects can warm up for would lose its repeats.
        {"echo beats=2 feedback=0.7\nhit bell A4 at bar:1",
         "score.txt:6: the echo's repeats ring for 15.8 s before they are 40 dB down; at most 4 s"},
        // A count beyond any timeline is one more that is not there.
        {"hit bell A4 at start:CUBE#99999999999", "score.txt:6: CUBE starts only 2 time(s) in the timeline"},
        {"play beat on kick from bar:1 to bar:2\nplay beat on kick from bar:4 to bar:5\n"
         "play beat on kick from bar:1.5 to bar:3",
         "score.txt:8: instrument kick already plays from 2000 to 4000 ms (line 6)"},
        {"play beat on kick from bar:4 to bar:5\nplay beat on kick from bar:1 to bar:2\n"
         "play beat on kick from bar:1.5 to bar:4.5",
         "score.txt:8: instrument kick already plays from"},
    };
    for (const Case& test : cases) {
        const std::string error = ErrorOf(kHeader + test.body + "\n");
        EXPECT_EQ(error.rfind(test.message, 0), 0u) << "got: " << error << "\nwanted: " << test.message;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

// A word is quoted by its beginning: the line stays one readable line.
TEST(Score, AHugeWordIsQuotedShort) {
    const std::string huge(2 << 20, 'Q');
    for (const std::string& body : {"volume" + huge, "hit bell A4 at bar:" + huge, "hit bell A4 at bar:1 gain=" + huge}) {
        const std::string error = ErrorOf(kHeader + body + "\n");
        EXPECT_LT(error.size(), 160u) << error.substr(0, 300);
        EXPECT_NE(error.find(std::string(30, 'Q') + "..."), std::string::npos) << error.substr(0, 300);
        EXPECT_EQ(error.rfind("score.txt:6: ", 0), 0u) << error.substr(0, 300);
    }
}

// Accepted, but worth a word: a score that makes no sound at all.
TEST(Score, AScoreWithoutNotesIsSilenceWithOneWarning) {
    for (const std::string& text : {std::string(), std::string("# nothing yet\n\n"), kHeader}) {
        audio::Score score;
        std::string error;
        ASSERT_TRUE(audio::ParseScore(text, "score.txt", MakeTimeline(), score, error)) << error;
        ASSERT_EQ(score.warnings.size(), 1u) << text;
        EXPECT_EQ(score.warnings[0].rfind("score.txt:", 0), 0u) << score.warnings[0];
        EXPECT_NE(score.warnings[0].find("no notes"), std::string::npos) << score.warnings[0];
    }
    EXPECT_TRUE(Parse("hit bell A4 at bar:1\n").warnings.empty());
}

// Many play lines on one instrument, end to end: each checked against its neighbours only, so
// the whole reads quickly (bench/soundtrack.sh times a long one).
TEST(Score, ManyPlaysOnOneInstrumentEachFindTheirPlace) {
    std::string body;
    for (int bar = 0; bar < 29; bar += 2) body += "play beat on kick from bar:" + std::to_string(bar) + " to bar:" + std::to_string(bar + 1) + "\n";
    for (int bar = 1; bar < 29; bar += 2) body += "play beat on kick from bar:" + std::to_string(bar) + " to bar:" + std::to_string(bar + 1) + "\n";
    EXPECT_EQ(Parse(body).notes.size(), 29u * 4);
}

TEST(Score, TempoComesBeforeAnyPosition) {
    EXPECT_EQ(ErrorOf("instrument bell fm\nhit bell A4 at bar:1\ntempo 90\n"),
              "score.txt:3: tempo must come before the first position");
}

TEST(Score, CommentsBlankLinesAndWindowsLineEndsAreAccepted) {
    const audio::Score score = Parse("# a comment\r\n\r\nhit bell A4 at start:CUBE#2   # the second cube\r\n");
    ASSERT_EQ(score.notes.size(), 1u);
    EXPECT_EQ(score.notes[0].onset, 30000 * kFramesPerMs);
}

// A timeline edited on its own may lose moments the score names: with a list to take them, such a
// cue is left out whole (notes it had added included, and the instrument free again), and the
// rest is played. A mistake of the score itself stays a mistake.
TEST(Score, CuesTheTimelineCannotPlaceAreLeftOutWholeAndListed) {
    const Timeline timeline = MakeTimeline("0 start CONTROL 0\n17000 start CUBE 20\n20000 stop CUBE\n25000 end\n");
    const std::string body =
        "hit bell A4 at start:SPLASH\n"                // 6: no such effect
        "play beat on kick from bar:1 to stop:CUBE#2\n"  // 7: CUBE stops once
        "play beat on kick from bar:10\n"               // 8: two kicks, 20000 and 20500 ms
        "play beat on bell from start:CUBE+14\n"        // 9: its second note rings past 25000 ms
        "play beat on bell from bar:11.75\n";           // 10: would overlap 9; played, as 9 is out
    audio::Score score;
    std::string error;
    EXPECT_FALSE(audio::ParseScore(kHeader + body, "score.txt", timeline, score, error));
    EXPECT_EQ(error, "score.txt:6: no effect SPLASH in the timeline") << "without a list every problem is a mistake";

    std::vector<std::string> unplaced;
    ASSERT_TRUE(audio::ParseScore(kHeader + body, "score.txt", timeline, score, error, &unplaced)) << error;
    EXPECT_EQ(unplaced, (std::vector<std::string>{
                            "score.txt:6: no effect SPLASH in the timeline; this cue is left out of the music",
                            "score.txt:7: CUBE stops only 1 time(s) in the timeline; this cue is left out of the music",
                            "score.txt:9: the note at 24500 ms on bell sounds past the end of the piece (25000 ms); "
                            "this cue is left out of the music"}));
    std::vector<std::int64_t> onsets;
    for (const audio::Note& note : score.notes) onsets.push_back(note.onset / kFramesPerMs);
    EXPECT_EQ(onsets, (std::vector<std::int64_t>{20000, 20500, 23500, 24000}));

    EXPECT_FALSE(audio::ParseScore(kHeader + "play beat on kick from bar:1 to bar:3\nplay beat on kick from bar:2\n",
                                   "score.txt", timeline, score, error, &unplaced));
    EXPECT_EQ(error.rfind("score.txt:7: instrument kick already plays", 0), 0u) << error;
}

// The score the program plays: every moment it names is in the timeline it plays with, and it
// fills the piece.
TEST(Score, TheDemoScoreParsesAgainstTheDemoTimeline) {
    Timeline timeline;
    std::string error;
    const std::string timelinePath = std::string(TARNELVOIS_SOURCE_DIR) + "/data/timeline.txt";
    ASSERT_TRUE(ParseTimeline(ReadFile(timelinePath), timelinePath, timeline, error)) << error;
    audio::Score score;
    const std::string scorePath = std::string(TARNELVOIS_SOURCE_DIR) + "/data/score.txt";
    ASSERT_TRUE(audio::ParseScore(ReadFile(scorePath), scorePath, timeline, score, error)) << error;
    ASSERT_FALSE(score.notes.empty());
    EXPECT_LT(score.notes.front().onset, 1 * audio::kSampleRate);
    EXPECT_GT(score.notes.back().onset, 240 * audio::kSampleRate);
    for (const audio::Note& note : score.notes) EXPECT_LE(note.end, score.frames - audio::kSampleRate);
}

}  // namespace
