// The soundtrack as a user meets it. In captures, checked on the files: the sound ffmpeg decodes
// from a video lines up with its pictures, lasts as long, and is the soundtrack itself; --mute and
// an archive without a score give no sound; a broken score refuses the run. In the window, through
// SDL's disk driver, which writes what a device would play: the soundtrack, across a pause and a
// jump, and one line when there is no device.
#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "sound/soundtrack.h"
#include "host/archive.h"
#include "sound/score_loader.h"
#include "sound/sound_output.h"
#include "host/timeline.h"
#include "tests/support/test_files.h"

namespace {

using Samples = std::vector<std::int16_t>;  // interleaved stereo

// The built archive's soundtrack, parsed as the program parses it.
const audio::Soundtrack& BuiltSoundtrack()
{
    static std::unique_ptr<audio::Soundtrack> soundtrack = [] {
        std::string error;
        auto archive = Archive::Open(TARNELVOIS_ARCHIVE, error);
        Bytes text;
        EXPECT_TRUE(archive && archive->Read("timeline.txt", text, error)) << error;
        static Timeline timeline;
        EXPECT_TRUE(ParseTimeline(std::string(text.begin(), text.end()), "timeline.txt", timeline, error)) << error;
        std::unique_ptr<audio::Soundtrack> loaded;
        std::vector<std::string> unplaced;
        EXPECT_TRUE(LoadScore(*archive, timeline, loaded, error, unplaced) && loaded) << error;
        EXPECT_TRUE(unplaced.empty()) << unplaced.front();
        return loaded;
    }();
    return *soundtrack;
}

Samples Render(std::int64_t first, std::int64_t count)
{
    Samples samples(size_t(count) * 2);
    audio::SoundtrackRenderer(BuiltSoundtrack()).Render(first, count, samples.data());
    return samples;
}

Samples BytesToSamples(const Bytes& bytes, size_t skip = 0)
{
    Samples samples((bytes.size() - skip) / 2);
    std::memcpy(samples.data(), bytes.data() + skip, samples.size() * 2);
    return samples;
}

// The file's first sound stream, decoded to 48 kHz stereo 16-bit.
Samples DecodeSound(const std::string& path)
{
    const std::string raw = path + ".raw";
    std::string output;
    EXPECT_EQ(RunCommand("ffmpeg -v error -y -i " + path + " -map 0:a:0 -f s16le -ac 2 -ar 48000 " + raw, &output), 0)
        << output;
    return BytesToSamples(ReadFileBytes(raw));
}

std::string Probe(const std::string& path)
{
    std::string probe;
    RunCommand("ffprobe -v error -show_entries stream=codec_type,codec_name,sample_rate,channels,start_time,duration "
               "-of default=nw=1 " + path, &probe);
    return probe;
}

double Field(const std::string& probe, const std::string& name, int occurrence)
{
    size_t at = 0;
    for (int i = 0; i <= occurrence; ++i) {
        at = probe.find(name + "=", at);
        if (at == std::string::npos) return NAN;
        at += name.size() + 1;
    }
    return std::atof(probe.c_str() + at);
}

struct Alignment {
    int lag;             // sample frames the file's sound is late against its pictures
    double similarity;   // normalised correlation at that lag, 1 for the same wave
};

// Where the decoded sound sits against the soundtrack that should start at sample 'first': the
// best of every lag up to two video frames either way, on the left channel of the first second.
Alignment Align(const Samples& decoded, std::int64_t first, int fps)
{
    const int reach = 2 * audio::kSampleRate / fps;
    const int length = std::min<int>(audio::kSampleRate, int(decoded.size() / 2));
    const Samples reference = Render(first - reach, length + 2 * reach);
    Alignment best{0, -2};
    for (int lag = -reach; lag <= reach; ++lag) {
        double product = 0, decodedEnergy = 0, referenceEnergy = 0;
        for (int i = 0; i < length; ++i) {
            const double a = decoded[2 * i], b = reference[2 * (i + reach + lag)];
            product += a * b, decodedEnergy += a * a, referenceEnergy += b * b;
        }
        const double similarity = product / std::sqrt(decodedEnergy * referenceEnergy + 1);
        if (similarity > best.similarity) best = {lag, similarity};
    }
    return best;
}

TEST(CaptureSound, VideoSoundLinesUpWithItsPicturesFromTheStartAndFromALateStart)
{
    const std::string folder = TemporaryFolder("sync");
    struct Case {
        std::int32_t start, end;
        const char* file;
    };
    // The swell under the first picture, and the fifth cube's chime heard from a late start.
    for (const Case& run : {Case{0, 2500, "early.mp4"}, Case{32700, 34200, "late.mp4"}, Case{32700, 34200, "late.webm"}}) {
        const std::string video = folder + "/" + run.file;
        std::string output;
        ASSERT_EQ(RunProgram("--headless --quiet --size 64x48 --start " + std::to_string(run.start) + " --end " +
                             std::to_string(run.end) + " --capture " + video, &output), 0) << output;
        const std::string probe = Probe(video);
        const bool webm = std::strstr(run.file, ".webm") != nullptr;
        EXPECT_NE(probe.find(webm ? "codec_name=opus" : "codec_name=aac"), std::string::npos) << probe;
        EXPECT_NE(probe.find("sample_rate=48000\nchannels=2"), std::string::npos) << probe;
        // Frames 'start' to 'end' at 60 per second, both included; the sound as long, to within a frame.
        const std::int64_t firstFrame = (std::int64_t(run.start) * 60 + 999) / 1000;
        const double seconds = double(run.end * 60 / 1000 + 1 - firstFrame) / 60;
        if (!webm) {
            const double videoSeconds = Field(probe, "duration", 0), soundSeconds = Field(probe, "duration", 1);
            EXPECT_NEAR(videoSeconds, seconds, 0.001) << probe;
            EXPECT_NEAR(soundSeconds, videoSeconds, 1.0 / 60) << probe;
        }
        const Samples decoded = DecodeSound(video);
        const Alignment alignment = Align(decoded, firstFrame * audio::kSampleRate / 60, 60);
        std::printf("[ sync     ] %s from %d ms: sound %+d samples (%+.2f ms) against its pictures, similarity %.3f\n",
                    run.file, run.start, alignment.lag, alignment.lag * 1000.0 / audio::kSampleRate, alignment.similarity);
        EXPECT_LT(std::abs(alignment.lag), audio::kSampleRate / 60) << run.file << ": more than a frame out";
        EXPECT_GT(alignment.similarity, 0.9) << run.file << ": the sound is not the soundtrack";
    }
}

TEST(CaptureSound, PngFramesGetTheSpanAsAWavAndMuteChangesNoFrame)
{
    const std::string folder = TemporaryFolder("png-sound");
    const std::string span = "--headless --quiet --seed 7 --size 64x48 --start 33000 --end 33100 --capture ";
    std::string output;
    ASSERT_EQ(RunProgram(span + folder + "/sound", &output), 0) << output;
    ASSERT_EQ(RunProgram("--mute " + span + folder + "/mute", &output), 0) << output;
    ASSERT_EQ(RunProgram("--mute " + span + folder + "/mute.mp4", &output), 0) << output;

    // Frames 1980 to 1986: seven frames of 800 samples, bit for bit the soundtrack's.
    const Bytes wav = ReadFileBytes(folder + "/sound/soundtrack.wav");
    ASSERT_EQ(wav.size(), 44u + 7 * 800 * 4);
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_TRUE(BytesToSamples(wav, 44) == Render(1980 * 800, 7 * 800)) << "not the soundtrack's span";

    std::vector<std::string> frames = FilesIn(folder + "/sound");
    frames.erase(std::remove(frames.begin(), frames.end(), "soundtrack.wav"), frames.end());
    EXPECT_EQ(frames, FilesIn(folder + "/mute")) << "a muted capture has its frames and nothing else";
    for (const std::string& frame : frames)
        EXPECT_TRUE(ReadFileBytes(folder + "/sound/" + frame) == ReadFileBytes(folder + "/mute/" + frame)) << frame;
    const std::string probe = Probe(folder + "/mute.mp4");
    EXPECT_EQ(probe.find("codec_type=audio"), std::string::npos) << probe;
}

// The built archive with its score replaced, or removed when text is empty; as an archive put
// together by hand, it has no record of the score's source, so messages name the archive's entry.
std::string ArchiveWithScore(const std::string& folder, const std::string& text)
{
    const std::string path = folder + "/data.zip";
    std::filesystem::copy_file(TARNELVOIS_ARCHIVE, path, std::filesystem::copy_options::overwrite_existing);
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), 0, &error);
    EXPECT_NE(archive, nullptr);
    const zip_int64_t index = zip_name_locate(archive, kScoreEntry, 0);
    EXPECT_GE(index, 0);
    zip_delete(archive, zip_uint64_t(zip_name_locate(archive, kScoreSourceEntry, 0)));
    if (text.empty()) {
        zip_delete(archive, zip_uint64_t(index));
    } else {
        static std::string kept;
        kept = text;
        zip_file_add(archive, kScoreEntry, zip_source_buffer(archive, kept.data(), kept.size(), 0), ZIP_FL_OVERWRITE);
    }
    EXPECT_EQ(zip_close(archive), 0);
    return path;
}

TEST(CaptureSound, ABrokenScoreRefusesTheRunAndAMissingOnePlaysSilentWithOneWarning)
{
    const std::string folder = TemporaryFolder("score");
    const std::string capture = " --headless --size 64x48 --start 1000 --end 1200 --capture " + folder + "/out.mp4";
    std::string output;
    const std::string broken = ArchiveWithScore(folder, "tempo 120\nplay nothing on nobody from bar:1\n");
    EXPECT_EQ(RunProgram("--data " + broken + capture, &output), 1);
    EXPECT_NE(output.find("data.zip:score.txt:2: "), std::string::npos) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    EXPECT_FALSE(std::filesystem::exists(folder + "/out.mp4"));
    // Muted, the score is not even read.
    EXPECT_EQ(RunProgram("--mute --quiet --data " + broken + capture, &output), 0) << output;

    const std::string silent = ArchiveWithScore(folder, "");
    EXPECT_EQ(RunProgram("--quiet --overwrite --data " + silent + capture, &output), 0) << output;
    EXPECT_EQ(output, "tarnelvois: warning: " + silent + " has no score.txt; playing silent\n");
    const std::string probe = Probe(folder + "/out.mp4");
    EXPECT_NE(probe.find("codec_type=video"), std::string::npos) << probe;
    EXPECT_EQ(probe.find("codec_type=audio"), std::string::npos) << probe;
}

// A stretch of what the device played that is one unbroken span of the soundtrack.
struct Stretch {
    std::int64_t silenceBefore;  // frames of silence the device played before it
    std::int64_t position;       // the soundtrack's frame it starts at
    std::int64_t length;
};

// Cuts what was played at its silences and finds every stretch in the soundtrack near one of the
// given moments; a stretch found nowhere, or not the soundtrack to its end, fails the test. A
// stretch fades in and out over its first and last kRamp frames: between them it is the
// soundtrack sample for sample, and its position is where its fade-in began.
constexpr std::int64_t kRamp = SoundOutput::kRampFrames;
std::vector<Stretch> Stretches(const Samples& played, const std::vector<std::int64_t>& moments)
{
    constexpr std::int64_t kSilence = 32, kReach = 2 * audio::kSampleRate, kProbe = 64;
    std::vector<Samples> references;
    for (std::int64_t moment : moments) references.push_back(Render(moment, 2 * kReach));
    auto silent = [&](std::int64_t frame) { return played[2 * frame] == 0 && played[2 * frame + 1] == 0; };
    const std::int64_t frames = std::int64_t(played.size() / 2);
    std::vector<Stretch> stretches;
    std::int64_t at = 0;
    while (at < frames) {
        std::int64_t quiet = at;
        while (quiet < frames && silent(quiet)) ++quiet;
        std::int64_t end = quiet;
        for (std::int64_t run = 0; end < frames && run < kSilence; ++end) run = silent(end) ? run + 1 : 0;
        if (end < frames) end -= kSilence;
        if (quiet >= frames) break;
        Stretch stretch{quiet - at, -1, end - quiet};
        const std::int64_t core = quiet + kRamp, coreEnd = std::max(core, end - kRamp);
        const std::int64_t probe = std::min(kProbe, coreEnd - core);
        for (size_t m = 0; m < moments.size() && stretch.position < 0; ++m)
            for (std::int64_t offset = 0; offset + stretch.length <= 2 * kReach && stretch.position < 0; ++offset)
                if (std::equal(&played[2 * core], &played[2 * (core + probe)], &references[m][2 * offset]) &&
                    std::equal(&played[2 * core], &played[2 * coreEnd], &references[m][2 * offset]))
                    stretch.position = moments[m] + offset - kRamp;
        EXPECT_GE(stretch.position, 0) << "frames " << quiet << " to " << end << " are not the soundtrack";
        stretches.push_back(stretch);
        at = end;
    }
    return stretches;
}

class WindowSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        played_ = TemporaryFolder("disk") + "/played.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", played_.c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
    }
    static void Wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

    std::string played_;
};

TEST_F(WindowSound, TheDevicePlaysTheSoundtrackAcrossAPauseAndAJumpAndThePictureFollowsIt)
{
    constexpr std::int64_t kStart = 60 * audio::kSampleRate, kTarget = 80 * audio::kSampleRate;
    // Longer than the warm-up of a jump (0.4 s of CPU at worst) on a machine shared a few times over.
    constexpr int kReplayMs = 1000;
    {
        std::string why;
        auto sound = SoundOutput::Open(BuiltSoundtrack(), why);
        ASSERT_TRUE(sound) << why;
        // Each step waits until the device has played on a while: on a busy machine its thread runs late.
        auto playOnTo = [&](double ms) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (sound->HeardMs().value_or(0) < ms && std::chrono::steady_clock::now() < deadline) Wait(5);
            ASSERT_GE(sound->HeardMs().value_or(0), ms);
        };
        sound->SetPaused(true);
        sound->Start(60000);
        Wait(1000);  // the synthesizer's warm-up, while nothing is heard
        sound->SetPaused(false);
        playOnTo(60600);
        // A picture clock half a second off is brought onto the sound.
        PlaybackClock clock;
        clock.Start(0, 61000);
        sound->Steer(clock, 0);
        EXPECT_NEAR(clock.Time(0), *sound->HeardMs(), 12.0);
        sound->SetPaused(true);
        Wait(300);
        EXPECT_FALSE(sound->HeardMs()) << "paused";
        const double pausedAt = clock.Time(0);
        sound->SetPaused(false);
        playOnTo(pausedAt + 600);
        // A seek as the player makes it: sent ahead, silent while the picture is replayed, resumed
        // with the picture.
        sound->SetPaused(true);
        sound->JumpTo(80000);
        Wait(kReplayMs);
        sound->SetPaused(false);
        playOnTo(81500);
    }
    const Samples played = BytesToSamples(ReadFileBytes(played_));
    const std::vector<Stretch> stretches = Stretches(played, {kStart, kTarget});
    // (More than three only when the worker ran dry on a busy machine: more fades, no clicks.)
    ASSERT_GE(stretches.size(), 3u);
    // Held until the synthesizer has it, the sound starts where asked, nothing skipped.
    EXPECT_EQ(stretches[0].position, kStart);
    // The pause: what faded out plays again as the sound fades back in; nothing lost.
    const std::int64_t paused = stretches[0].position + stretches[0].length;
    EXPECT_GE(stretches[1].position, paused - kRamp);
    EXPECT_LE(stretches[1].position, paused);
    EXPECT_GT(stretches[1].silenceBefore, audio::kSampleRate / 5);
    // The seek: the target itself, within 100 ms of the replay's end.
    const auto seek = std::find_if(stretches.begin(), stretches.end(), [](const Stretch& s) { return s.position >= kTarget - kRamp; });
    ASSERT_NE(seek, stretches.end());
    EXPECT_EQ(seek->position, kTarget);
    EXPECT_LT(seek->silenceBefore, (kReplayMs + 100) * audio::kSampleRate / 1000);

    // No clicks: at a start, pause, resume or seek the sound leaves and enters silence in a
    // ramp, so the step there is a small fraction of the music's own largest step (a cut at
    // -10 dBFS would be a step of 10000).
    auto step = [&](std::int64_t frame) {
        int largest = 0;
        for (int channel = 0; channel < 2; ++channel)
            largest = std::max(largest, std::abs(played[2 * frame + channel] - played[2 * (frame - 1) + channel]));
        return largest;
    };
    int musicStep = 0, edgeStep = 0;
    std::int64_t at = 0;
    for (const Stretch& stretch : stretches) {
        const std::int64_t first = at + stretch.silenceBefore, end = first + stretch.length;
        for (std::int64_t frame = first + kRamp; frame < end - kRamp; ++frame) musicStep = std::max(musicStep, step(frame));
        edgeStep = std::max(edgeStep, step(std::max<std::int64_t>(first, 1)));
        // (The recording itself ends in the middle of the last one.)
        if (end < std::int64_t(played.size() / 2)) edgeStep = std::max(edgeStep, step(end));
        at = end;
    }
    EXPECT_GT(musicStep, 2000);
    EXPECT_LE(edgeStep, musicStep / 50);
}

TEST_F(WindowSound, WithoutADeviceTheOpeningSaysWhyInOneLine)
{
    for (const char* driver : {"dummy", "no-such-driver"}) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        std::string why;
        EXPECT_FALSE(SoundOutput::Open(BuiltSoundtrack(), why)) << driver;
        EXPECT_EQ(why.find("no sound: "), 0u) << why;
        EXPECT_EQ(why.find('\n'), std::string::npos) << why;
    }
}

TEST(WindowProgram, PlaysTheSoundFromItsStartOrSaysOnceThatItIsSilent)
{
    if (RunCommand("command -v xvfb-run") != 0) GTEST_SKIP() << "xvfb-run is not installed";
    const std::string folder = TemporaryFolder("window-sound");
    const std::string run = "env -u SDL_VIDEODRIVER xvfb-run -a timeout 60 " + std::string(TARNELVOIS_BINARY) +
                            " --data " + TARNELVOIS_ARCHIVE + " --size 64x48 --start 60000 --end 61000";
    std::string output;
    ASSERT_EQ(RunCommand("SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" + folder + "/played.raw " + run, &output), 0)
        << output;
    const std::vector<Stretch> stretches =
        Stretches(BytesToSamples(ReadFileBytes(folder + "/played.raw")), {60 * audio::kSampleRate});
    ASSERT_FALSE(stretches.empty());
    // Held until the synthesizer has it, it starts at --start exactly.
    EXPECT_EQ(stretches[0].position, 60 * audio::kSampleRate);

    output.clear();
    EXPECT_EQ(RunCommand("SDL_AUDIODRIVER=no-such-driver " + run, &output), 0) << output;
    EXPECT_EQ(output, "tarnelvois: warning: no sound: cannot start the audio system (Audio target 'no-such-driver' "
                      "not available); playing silent\n");
    output.clear();
    EXPECT_EQ(RunCommand("SDL_AUDIODRIVER=no-such-driver " + run + " --mute", &output), 0) << output;
    EXPECT_EQ(output, "");
}

}  // namespace
