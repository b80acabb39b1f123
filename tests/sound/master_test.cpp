// The mix no accepted score can break: the loudest gains, stacked drums and dense chords stay
// under the master's ceiling (after an AAC encode too), the limiter starts anywhere as if it had
// run all along, notes beyond the voice limit give way, and an echo's repeats survive the
// effects' segments.
#include "sound/soundtrack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <vector>

#include "sound/effects.h"
#include "sound/wav.h"

namespace {

using Samples = std::vector<std::int16_t>;

const char kTimeline[] = "0 start CONTROL 0\n20000 stop CONTROL\n20000 end\n";

std::unique_ptr<audio::Soundtrack> Load(const std::string& score) {
    Timeline timeline;
    std::string error;
    EXPECT_TRUE(ParseTimeline(kTimeline, "timeline.txt", timeline, error)) << error;
    std::unique_ptr<audio::Soundtrack> soundtrack = audio::Soundtrack::Parse(score, "score.txt", timeline, error);
    EXPECT_TRUE(soundtrack) << error;
    return soundtrack;
}

Samples Render(const audio::Soundtrack& soundtrack, std::int64_t first, std::int64_t count) {
    Samples samples(static_cast<std::size_t>(count) * audio::kChannels);
    audio::SoundtrackRenderer(soundtrack).Render(first, count, samples.data());
    return samples;
}

int Peak(const Samples& samples) {
    int peak = 0;
    for (std::int16_t sample : samples) peak = std::max(peak, std::abs(static_cast<int>(sample)));
    return peak;
}

// Scores the parser accepts that once drove the master past full scale.
const std::string kHotGains =
    "master gain=24\n"
    "instrument lead saw gain=24 cutoff=8000 sustain=1\n"
    "pattern p step=1\n"
    "  C3+G3+C4+E4 . C3+G3+C4+E4 -\n"
    "play p on lead from bar:0 to bar:8 gain=24\n";

std::string StackedKicks() {
    std::string score;
    for (int i = 0; i < 400; ++i) score += "instrument k" + std::to_string(i) + " kick\n";
    for (int i = 0; i < 400; ++i) score += "hit k" + std::to_string(i) + " x at bar:2\n";
    return score;
}

const std::string kDenseChords =
    "instrument pad square cutoff=6000 attack=0.001 decay=2 sustain=1 release=2\n"
    "pattern p step=1/64\n"
    "  C2+D2+E2+F2+G2+A2+B2+C3+D3+E3+F3+G3+A3+B3+C4+D4+E4+F4+G4+A4+B4+C5+D5+E5+F5+G5+A5+B5+C6+D6+E6+F6\n"
    "play p on pad from bar:1 to bar:4\n";

// Under the ceiling of -3 dBFS, between the samples as well as on them.
constexpr int kCeiling = 23198;

TEST(Master, HotScoresStayUnderTheCeiling) {
    for (const std::string& score : {kHotGains, StackedKicks(), kDenseChords}) {
        const auto soundtrack = Load(score);
        ASSERT_TRUE(soundtrack);
        const Samples samples = Render(*soundtrack, 0, 10 * audio::kSampleRate);
        EXPECT_LE(Peak(samples), kCeiling) << score.substr(0, 60);
        EXPECT_GT(Peak(samples), kCeiling * 3 / 4) << "turned down, not silenced";
    }
}

TEST(Master, HotScoresStayUnderMinusOneDbtpAfterAnAacEncode) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("master-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    for (const std::string& score : {kHotGains, StackedKicks(), kDenseChords}) {
        const auto soundtrack = Load(score);
        ASSERT_TRUE(soundtrack);
        const Samples samples = Render(*soundtrack, 0, 10 * audio::kSampleRate);
        const std::string wavPath = (folder / "hot.wav").string(), aacPath = (folder / "hot.m4a").string();
        audio::WavWriter wav;
        std::string error;
        ASSERT_TRUE(wav.Open(wavPath, error) && wav.Write(samples.data(), 10 * audio::kSampleRate, error) && wav.Close(error))
            << error;
        // As the captures encode their sound.
        ASSERT_EQ(std::system(("ffmpeg -v error -y -i '" + wavPath + "' -c:a aac -b:a 192k '" + aacPath + "'").c_str()), 0);
        std::string report;
        if (FILE* pipe = popen(("ffmpeg -hide_banner -nostats -i '" + aacPath + "' -af ebur128=peak=true -f null - 2>&1 | tail -n 3").c_str(), "r")) {
            char buffer[4096];
            while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) report.append(buffer, got);
            pclose(pipe);
        }
        std::smatch peak;
        ASSERT_TRUE(std::regex_search(report, peak, std::regex(R"(Peak:\s+(-?[0-9.]+) dBFS)"))) << report;
        EXPECT_LE(std::stod(peak[1]), -1.0) << score.substr(0, 60);
    }
    std::filesystem::remove_all(folder);
}

TEST(Master, ALimitedPassageStartsAnywhereAsIfPlayedThrough) {
    const auto soundtrack = Load(kHotGains);
    ASSERT_TRUE(soundtrack);
    const Samples whole = Render(*soundtrack, 0, 8 * audio::kSampleRate);
    // On a note-on (the gain already down for it), between notes (the gain climbing back) and
    // after the limiter's memory.
    for (const std::int64_t first : std::vector<std::int64_t>{0, 24000 - 50, 24000 + 3000, 48000 + 17, 2 * 48000 + 7}) {
        const Samples part = Render(*soundtrack, first, 30000);
        EXPECT_TRUE(std::equal(part.begin(), part.end(), whole.begin() + first * audio::kChannels)) << "from " << first;
    }
}

TEST(Master, NotesBeyondTheVoiceLimitGiveWayAndTheLineIsNamed) {
    const auto soundtrack = Load(StackedKicks());
    ASSERT_TRUE(soundtrack);
    const audio::Score& score = soundtrack->score();
    // Struck together, the newest sound and the rest never start.
    EXPECT_EQ(score.notes.size(), audio::kMaxVoices);
    EXPECT_EQ(score.notes.front().line, 400 + 400 - static_cast<int>(audio::kMaxVoices) + 1);
    ASSERT_FALSE(score.warnings.empty());
    EXPECT_EQ(score.warnings[0].rfind("score.txt:441: more than 40 notes at once from 4.000 s", 0), 0u) << score.warnings[0];
    EXPECT_LE(score.warnings.size(), 6u) << "a few lines, then a count";

    // Chords faster than their release: older notes are cut short, and never more than twice
    // the limit sound at any frame.
    const auto dense = Load(kDenseChords);
    ASSERT_TRUE(dense);
    for (std::size_t i = 0; i < dense->score().notes.size(); i += 97) {
        const std::int64_t at = dense->score().notes[i].onset;
        std::size_t sounding = 0;
        for (const audio::Note& note : dense->score().notes) sounding += note.onset <= at && at < note.end;
        ASSERT_LE(sounding, 2 * audio::kMaxVoices) << "at frame " << at;
    }
}

// The effects restart in segments; an echo that rings longer than the reverb must still be
// whole after a segment boundary. A click with its echoes sounds the same struck early in a
// segment and just before the instance that takes over at the next boundary starts to listen.
TEST(Master, EchoesRingOnAcrossTheEffectsSegments) {
    const std::string score =
        "echo beats=1 feedback=0.3 return=0\n"
        "instrument click hat decay=0.01 echo=1\n";
    // Frames on a hundredth of a beat, so the positions below are exact.
    const auto at = [&](std::int64_t frame) { return "hit click x at bar:0+" + std::to_string(frame / 24000) + "." +
                                                     std::to_string(frame / 240 % 100 + 100).substr(1) + "\n"; };
    const std::int64_t early = audio::kSampleRate / 2;
    const std::int64_t warmUp = audio::Effects(Load(score + at(early))->score()).WarmUpFrames();
    const std::int64_t late = ((audio::Effects::kSegmentFrames - warmUp) / 240 - 2) * 240;
    const auto first = Load(score + at(early)), second = Load(score + at(late));
    ASSERT_TRUE(first && second);
    ASSERT_EQ(second->score().notes.at(0).onset, late);
    const std::int64_t span = 3 * audio::kSampleRate;
    const Samples a = Render(*first, early, span), b = Render(*second, late, span);
    double energy = 0, difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        energy += double(a[i]) * a[i];
        difference += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
    }
    EXPECT_GT(energy, 0);
    EXPECT_LT(difference, energy * 1e-3) << "repeats lost at the segment boundary";
}

}  // namespace
