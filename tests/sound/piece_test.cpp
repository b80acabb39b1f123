// The demo's own soundtrack, rendered whole as the program plays it: mastered to its loudness
// and peak as ffmpeg measures them, centred, silent at the end, and the same wherever playing
// starts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "sound/soundtrack.h"
#include "sound/wav.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string RunCapturing(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
        pclose(pipe);
    }
    return output;
}

class Piece : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::string source = TARNELVOIS_SOURCE_DIR;
        std::string error;
        ASSERT_TRUE(ParseTimeline(ReadFile(source + "/data/timeline.txt"), "timeline.txt", timeline_, error)) << error;
        soundtrack_ = audio::Soundtrack::Parse(ReadFile(source + "/data/score.txt"), "score.txt", timeline_, error).release();
        ASSERT_NE(soundtrack_, nullptr) << error;
        samples_ = new std::vector<std::int16_t>(static_cast<std::size_t>(soundtrack_->Frames()) * audio::kChannels);
        audio::SoundtrackRenderer renderer(*soundtrack_);
        renderer.Render(0, soundtrack_->Frames(), samples_->data());
    }
    static void TearDownTestSuite() {
        delete samples_;
        delete soundtrack_;
    }
    static Timeline timeline_;
    static audio::Soundtrack* soundtrack_;
    static std::vector<std::int16_t>* samples_;
};

Timeline Piece::timeline_;
audio::Soundtrack* Piece::soundtrack_ = nullptr;
std::vector<std::int16_t>* Piece::samples_ = nullptr;

TEST_F(Piece, LastsAsLongAsTheTimeline) {
    EXPECT_EQ(soundtrack_->Frames(), static_cast<std::int64_t>(timeline_.endTime) * audio::kSampleRate / 1000);
}

TEST_F(Piece, LoudnessAndTruePeakAsFfmpegMeasuresThem) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("soundtrack-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string wavPath = (folder / "piece.wav").string();
    audio::WavWriter wav;
    std::string error;
    ASSERT_TRUE(wav.Open(wavPath, error)) << error;
    ASSERT_TRUE(wav.Write(samples_->data(), soundtrack_->Frames(), error)) << error;
    ASSERT_TRUE(wav.Close(error)) << error;
    const std::string report = RunCapturing("ffmpeg -hide_banner -nostats -i '" + wavPath +
                                            "' -af ebur128=peak=true -f null - 2>&1 | tail -n 12");
    std::filesystem::remove_all(folder);
    std::smatch loudness, peak;
    ASSERT_TRUE(std::regex_search(report, loudness, std::regex(R"(I:\s+(-?[0-9.]+) LUFS)"))) << report;
    ASSERT_TRUE(std::regex_search(report, peak, std::regex(R"(Peak:\s+(-?[0-9.]+|-inf) dBFS)"))) << report;
    EXPECT_NEAR(std::stod(loudness[1]), -16.0, 1.0) << report;
    EXPECT_LE(std::stod(peak[1]), -1.0) << report;
}

TEST_F(Piece, HasNoDcOffset) {
    for (int channel = 0; channel < audio::kChannels; ++channel) {
        double sum = 0;
        for (std::size_t i = channel; i < samples_->size(); i += audio::kChannels) sum += (*samples_)[i];
        const double mean = sum / (samples_->size() / audio::kChannels) / 32768.0;
        EXPECT_LT(std::fabs(mean), 1e-4) << "channel " << channel;  // -80 dBFS
    }
}

// Within a second of the end only the last of the reverb is left, well under hearing, and the
// final samples are zero: the piece is over when the picture is.
TEST_F(Piece, IsSilentAtTheEnd) {
    const std::size_t lastSecond = samples_->size() - audio::kSampleRate * audio::kChannels;
    int peak = 0;
    for (std::size_t i = lastSecond; i < samples_->size(); ++i) peak = std::max(peak, std::abs(int((*samples_)[i])));
    EXPECT_LE(peak, 33);  // -60 dBFS
    for (std::size_t i = samples_->size() - 2 * 480; i < samples_->size(); ++i) ASSERT_EQ((*samples_)[i], 0) << i;
}

TEST_F(Piece, StartingAnywhereGivesWhatPlayingThroughGives) {
    // A moment in each section: the swell, a cube's chime, the groove, the lattice, the credits.
    for (const std::int64_t ms : {4321, 21000, 70000, 96000, 160999, 230500}) {
        const std::int64_t first = ms * audio::kSampleRate / 1000;
        std::vector<std::int16_t> span(9600 * audio::kChannels);
        audio::SoundtrackRenderer renderer(*soundtrack_);
        renderer.Render(first, 9600, span.data());
        EXPECT_TRUE(std::equal(span.begin(), span.end(), samples_->begin() + first * audio::kChannels)) << ms << " ms";
    }
}

}  // namespace
