// The renderer: the same samples however a span is cut into calls, wherever rendering starts and
// whichever way it jumps; sound where the score puts it and nowhere else.
#include "sound/soundtrack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sound/effects.h"

namespace {

using Samples = std::vector<std::int16_t>;

// Long enough for several effect segments, with every kind of instrument, the reverb and the echo.
const char kTimeline[] = "0 start CONTROL 0\n2000 start HIT 10\n14000 stop HIT\n20000 stop CONTROL\n20000 end\n";
const char kScore[] =
    "tempo 120\n"
    "reverb time=2 return=-3\n"
    "echo beats=0.75 feedback=0.5 return=-3\n"
    "instrument pad fm detune=7 ratio=1 index=1 attack=1 release=1 reverb=0.8 vibrato=10\n"
    "instrument lead saw detune=5 cutoff=600 envelope=2 q=2 echo=0.8 reverb=0.4\n"
    "instrument arp square cutoff=2000 decay=0.1 sustain=0 echo=0.6 pan=0.5\n"
    "instrument kick kick\n"
    "instrument snare snare reverb=0.5\n"
    "instrument hat hat pan=-0.6\n"
    "pattern chords step=4\n"
    "  D3+A3+F4 Bb2+F3+D4\n"
    "pattern line step=1/2\n"
    "  D4 - F4 A4 . C5 - -\n"
    "pattern beat\n"
    "  x . x' . x . . x\n"
    "play chords on pad from bar:0 to stop:HIT\n"
    "play line on lead from start:HIT to stop:HIT\n"
    "play line on arp from start:HIT+1 to stop:HIT transpose=12\n"
    "play beat on kick from start:HIT to stop:HIT\n"
    "play beat on snare from start:HIT+0.5 to stop:HIT\n"
    "play beat on hat from bar:0 to stop:HIT+4\n";

std::unique_ptr<audio::Soundtrack> Load(const std::string& score = kScore, const std::string& timelineText = kTimeline) {
    Timeline timeline;
    std::string error;
    EXPECT_TRUE(ParseTimeline(timelineText, "timeline.txt", timeline, error)) << error;
    std::unique_ptr<audio::Soundtrack> soundtrack = audio::Soundtrack::Parse(score, "score.txt", timeline, error);
    EXPECT_TRUE(soundtrack) << error;
    return soundtrack;
}

Samples Render(audio::SoundtrackRenderer& renderer, std::int64_t first, std::int64_t count) {
    Samples samples(static_cast<std::size_t>(count) * audio::kChannels, 12345);
    renderer.Render(first, count, samples.data());
    return samples;
}

Samples Render(const audio::Soundtrack& soundtrack, std::int64_t first, std::int64_t count) {
    audio::SoundtrackRenderer renderer(soundtrack);
    return Render(renderer, first, count);
}

Samples Slice(const Samples& samples, std::int64_t firstFrame, std::int64_t frames) {
    return Samples(samples.begin() + firstFrame * audio::kChannels, samples.begin() + (firstFrame + frames) * audio::kChannels);
}

// The first frame whose sample on either side is not zero, or -1.
std::int64_t FirstSound(const Samples& samples) {
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] != 0) return static_cast<std::int64_t>(i / audio::kChannels);
    }
    return -1;
}

int Peak(const Samples& samples) {
    int peak = 0;
    for (std::int16_t sample : samples) peak = std::max(peak, std::abs(static_cast<int>(sample)));
    return peak;
}

constexpr std::int64_t kSecond = audio::kSampleRate;

class Rendering : public ::testing::Test {
protected:
    void SetUp() override {
        soundtrack_ = Load();
        ASSERT_TRUE(soundtrack_);
        whole_ = ::Render(*soundtrack_, 0, soundtrack_->Frames());
    }
    std::unique_ptr<audio::Soundtrack> soundtrack_;
    Samples whole_;
};

TEST_F(Rendering, TwoRenderersGiveTheSameSamples) {
    EXPECT_EQ(::Render(*soundtrack_, 0, soundtrack_->Frames()), whole_);
    EXPECT_GT(Peak(whole_), 3000);
}

TEST_F(Rendering, CuttingASpanIntoCallsChangesNothing) {
    audio::SoundtrackRenderer renderer(*soundtrack_);
    Samples pieces;
    // Uneven sizes, from one frame to over a segment, so calls end on every kind of boundary.
    const std::int64_t sizes[] = {1, 7, 480, 4799, 48000, 150001, 3, 96000};
    for (std::int64_t at = 0, i = 0; at < soundtrack_->Frames(); ++i) {
        const std::int64_t count = std::min(sizes[i % 8], soundtrack_->Frames() - at);
        const Samples piece = ::Render(renderer, at, count);
        pieces.insert(pieces.end(), piece.begin(), piece.end());
        at += count;
    }
    EXPECT_EQ(pieces, whole_);
}

TEST_F(Rendering, StartingLateGivesWhatPlayingThroughGives) {
    const std::int64_t segment = audio::Effects::kSegmentFrames;
    const std::int64_t warmUp = audio::Effects(soundtrack_->score()).WarmUpFrames();
    const std::int64_t starts[] = {
        1,
        segment - warmUp,                              // where the next segment's instance starts
        segment - 1,
        segment,                                       // the crossfade's first frame
        segment + audio::Effects::kFadeFrames / 2,     // inside the crossfade
        segment + audio::Effects::kFadeFrames,         // its end
        2 * kSecond + 1,                               // just after a note-on
        5 * segment / 2 + 17,
        14 * kSecond + 1234,                           // in the release tails
    };
    for (const std::int64_t start : starts) {
        const std::int64_t frames = std::min<std::int64_t>(kSecond / 2, soundtrack_->Frames() - start);
        EXPECT_EQ(::Render(*soundtrack_, start, frames), Slice(whole_, start, frames)) << "start " << start;
    }
}

TEST_F(Rendering, JumpsBackAndForthGiveWhatPlayingThroughGives) {
    audio::SoundtrackRenderer renderer(*soundtrack_);
    const std::int64_t jumps[] = {7 * kSecond, 3 * kSecond, 3 * kSecond + 4800, 12 * kSecond, 0, 9 * kSecond + 1};
    for (const std::int64_t at : jumps) {
        EXPECT_EQ(::Render(renderer, at, 20000), Slice(whole_, at, 20000)) << "jump to " << at;
    }
}

TEST_F(Rendering, OutsideThePieceIsSilence) {
    const std::int64_t frames = soundtrack_->Frames();
    const Samples straddling = ::Render(*soundtrack_, -1000, 3000);
    EXPECT_EQ(Slice(straddling, 0, 1000), Samples(2000, 0));
    EXPECT_EQ(Slice(straddling, 1000, 2000), Slice(whole_, 0, 2000));
    const Samples end = ::Render(*soundtrack_, frames - 1000, 3000);
    EXPECT_EQ(Slice(end, 0, 1000), Slice(whole_, frames - 1000, 1000));
    EXPECT_EQ(Slice(end, 1000, 2000), Samples(4000, 0));
    EXPECT_EQ(::Render(*soundtrack_, frames + 5 * kSecond, 100), Samples(200, 0));
}

// Sound begins on the very frame of the moment the score names: what lets the picture and the
// music meet.
TEST(RenderTiming, ANoteSoundsFromItsMomentAndNotBefore) {
    const std::unique_ptr<audio::Soundtrack> soundtrack = Load(
        "instrument kick kick reverb=0.5 echo=0.5\nhit kick x at start:HIT+0.5\n", kTimeline);
    const Samples samples = Render(*soundtrack, 0, 4 * kSecond);
    EXPECT_EQ(FirstSound(samples), 2250 * audio::kSampleRate / 1000);  // half a beat after 2 s
}

// Each kind of instrument sounds, stays finite and within range, and dies away.
TEST(RenderTiming, EveryInstrumentKindSoundsAndDiesAway) {
    for (const char* kind : {"fm", "saw", "square", "kick", "snare", "hat"}) {
        const std::unique_ptr<audio::Soundtrack> soundtrack =
            Load(std::string("instrument it ") + kind + "\nhit it A3 at bar:1 length=1\n", kTimeline);
        ASSERT_TRUE(soundtrack);
        const Samples samples = Render(*soundtrack, 0, 6 * kSecond);
        EXPECT_GT(Peak(Slice(samples, 2 * kSecond, kSecond / 2)), 500) << kind;
        EXPECT_EQ(Peak(Slice(samples, 5 * kSecond, kSecond)), 0) << kind;
    }
}

}  // namespace
