// The player's replays on the real host: effects started again after their End deleted their
// textures, seek keys during a capture, passes of a loop, and a timeline changed under a window.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <fstream>

#include "effects/control.h"
#include "effects/cube.h"
#include "effects/scroller.h"
#include "effects/snow.h"
#include "effects/star.h"
#include "effects/zep.h"
#include "host/host_state.h"
#include "player/player.h"
#include "tests/support/test_files.h"

namespace {

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Loads a picture in Init, uploads it in Prepare and deletes it in End (as the cube does) or only
// releases it (as the splash does); keeps what a test needs to see of its lives.
class TexturedEffect : public CEffect {
public:
    explicit TexturedEffect(bool deletes) : deletes_(deletes) {}
    int Init(int, int) override
    {
        ++inits;
        startTime = -1;
        texture = DEMOGL_TextureLoad("demotex\\star.tga", 3, 0, 0x2901, 0x2901, 0x2601, 0x2601, false, false, 0, 0, 2);
        return 0;
    }
    void Prepare() override { failedUploads += DEMOGL_TextureUpload(texture) != 0; }
    void RenderFrame(LONG time) override
    {
        if (startTime < 0) {
            startTime = time;
            firstAges.push_back(0);
            liveTextures.push_back(Host().textures->Count());
        } else if (firstFrameOfRun) {
            firstAges.push_back(time - startTime);
        }
        firstFrameOfRun = false;
    }
    void End() override
    {
        firstFrameOfRun = true;
        if (deletes_) DEMOGL_TextureDelete(texture);
        else DEMOGL_TextureUnUpload(texture);
    }

    int inits = 0, failedUploads = 0;
    std::vector<long> firstAges;        // the effect's age on the first frame of each run
    std::vector<size_t> liveTextures;   // the host's texture count when its clock started

private:
    bool deletes_;
    bool firstFrameOfRun = true;
    LONG startTime = -1;
    unsigned int texture = 0;
};

TEST(Restarts, OnlyAnEffectWhoseEndDeletedIsInitialisedAgainAndHundredCyclesHoldNoMoreTextures)
{
    const std::string folder = TemporaryFolder("restarts");
    std::string timeline = "0 start CONTROL 0\n";
    for (int cycle = 0; cycle < 100; ++cycle) {
        const int at = cycle * 100;
        timeline += std::to_string(at) + " start DELETER 1\n" + std::to_string(at) + " start KEEPER 2\n" +
                    std::to_string(at + 50) + " stop DELETER\n" + std::to_string(at + 50) + " stop KEEPER\n";
    }
    WriteText(folder + "/timeline.txt", timeline + "10000 end\n");
    CControlEffect control;
    TexturedEffect deleter(true), keeper(false);
    DEMOGL_EffectRegister(&control, "CONTROL");
    DEMOGL_EffectRegister(&deleter, "DELETER");
    DEMOGL_EffectRegister(&keeper, "KEEPER");
    ASSERT_EQ(RunInProcess({"--headless", "--quiet", "--size", "32x24", "--fps", "100", "--data", TARNELVOIS_ARCHIVE,
                            "--timeline", folder + "/timeline.txt"}),
              0);

    EXPECT_EQ(deleter.inits, 100) << "once at loading, then before each of the 99 restarts";
    EXPECT_EQ(deleter.failedUploads, 0) << "a deleted texture was prepared again without Init";
    EXPECT_EQ(deleter.liveTextures.size(), 100u) << "its clock starts afresh with each Init";
    EXPECT_EQ(std::count(deleter.liveTextures.begin(), deleter.liveTextures.end(), deleter.liveTextures[0]), 100)
        << "textures pile up over the cycles";

    EXPECT_EQ(keeper.inits, 1) << "an effect that only releases keeps its state";
    EXPECT_EQ(keeper.failedUploads, 0);
    ASSERT_EQ(keeper.firstAges.size(), 100u);
    EXPECT_EQ(keeper.firstAges[1], 100) << "its clock continues over a restart";
    EXPECT_EQ(keeper.firstAges[99], 9900);
}

TEST(Restarts, ARestartedCubeLooksAsOnItsFirstStartAtTheSameAge)
{
    const std::string folder = TemporaryFolder("cube-restart");
    WriteText(folder + "/timeline.txt",
              "0 start CONTROL 0\n40000 start CUBE 10\n43000 stop CUBE\n50000 start CUBE 10\n60000 end\n");
    ASSERT_EQ(RunProgram("--headless --quiet --size 64x48 --fps 1 --start 40000 --end 52000 --timeline " + folder +
                         "/timeline.txt --capture " + folder + "/frames"),
              0);
    for (int age : {1, 2}) {
        char first[64], again[64];
        std::snprintf(first, sizeof first, "/frames/frame-%06d.png", 40 + age);
        std::snprintf(again, sizeof again, "/frames/frame-%06d.png", 50 + age);
        EXPECT_EQ(ReadFileBytes(folder + first), ReadFileBytes(folder + again)) << "age " << age << " s";
    }
}

// Presses the Left arrow and Space once, on its first frame at or after a moment of the piece.
class LeftKeyAt : public CEffect {
public:
    explicit LeftKeyAt(LONG time) : time_(time) {}
    int Init(int, int) override { return 0; }
    void RenderFrame(LONG time) override
    {
        if (pressed_ || time < time_) return;
        pressed_ = true;
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.sym = SDLK_LEFT;
        SDL_PushEvent(&event);
        event.key.keysym.sym = SDLK_SPACE;
        SDL_PushEvent(&event);
    }

private:
    LONG time_;
    bool pressed_ = false;
};

// Captures a stretch of the piece with the effects that keep the most state, pressing Left and
// Space at pressAt; returns the folder of frames.
std::string CaptureWithSeek(const std::string& name, LONG pressAt)
{
    const std::string folder = TemporaryFolder(name);
    WriteText(folder + "/timeline.txt",
              "0 start CONTROL 0\n0 start KEYS 0\n0 start STAR 20\n500 start CUBE 10\n1000 start SNOW 30\n"
              "2000 start ZEP 40\n4000 start SCROLLER 50\n5000 stop STAR\n6000 start STAR 20\n7000 stop CUBE\n"
              "8000 start CUBE 10\n14000 end\n");
    CControlEffect control;
    CCubeEffect cube;
    CSnowEffect snow;
    CStarEffect star;
    CZepEffect zep;
    CScrollerEffect scroller;
    LeftKeyAt keys(pressAt);
    DEMOGL_EffectRegister(&control, "CONTROL");
    DEMOGL_EffectRegister(&cube, "CUBE");
    DEMOGL_EffectRegister(&snow, "SNOW");
    DEMOGL_EffectRegister(&star, "STAR");
    DEMOGL_EffectRegister(&zep, "ZEP");
    DEMOGL_EffectRegister(&scroller, "SCROLLER");
    DEMOGL_EffectRegister(&keys, "KEYS");
    EXPECT_EQ(RunInProcess({"--headless", "--quiet", "--mute", "--size", "48x36", "--fps", "10", "--seed", "11", "--data",
                            TARNELVOIS_ARCHIVE, "--timeline", folder + "/timeline.txt", "--capture", folder + "/frames"}),
              0);
    return folder + "/frames";
}

TEST(Seeks, KeysThatMoveTimeAreOffWhileCapturingSoItsFramesAreTheStraightRuns)
{
    const std::string straight = CaptureWithSeek("seek-straight", 1000000);
    // Left and Space at 12 s: a capture's frames are the span asked for, whatever keys are pressed.
    const std::string seeked = CaptureWithSeek("seek-back", 12000);
    const std::vector<std::string> frames = FilesIn(straight);
    ASSERT_EQ(frames.size(), 140u);
    ASSERT_EQ(FilesIn(seeked), frames);
    for (const std::string& frame : frames)
        EXPECT_EQ(ReadFileBytes(straight + "/" + frame), ReadFileBytes(seeked + "/" + frame)) << frame;
}

// Forty seconds of snow, dense enough by the end that flakes spawned late in one pass would still
// be counted in the next if a pass did not start from an empty sky.
TEST(Passes, PassTwoIsPassOneAgainForOneSeedAndLoopWantsAWindow)
{
    const std::string folder = TemporaryFolder("passes");
    WriteText(folder + "/timeline.txt",
              "0 start CONTROL 0\n0 start STAR 20\n0 start SNOW 30\n300 start CUBE 10\n1500 start SCROLLER 40\n"
              "40000 end\n");
    ASSERT_EQ(RunProgram("--headless --quiet --mute --size 64x48 --fps 2 --seed 5 --passes 2 --timeline " + folder +
                         "/timeline.txt --capture " + folder + "/frames"),
              0);
    const int framesInAPass = 80;
    ASSERT_EQ(FilesIn(folder + "/frames").size(), 2u * framesInAPass);
    for (int frame = 0; frame < framesInAPass; ++frame) {
        char first[64], second[64];
        std::snprintf(first, sizeof first, "/frames/frame-%06d.png", frame);
        std::snprintf(second, sizeof second, "/frames/frame-%06d.png", frame + framesInAPass);
        EXPECT_EQ(ReadFileBytes(folder + first), ReadFileBytes(folder + second)) << "frame " << frame;
    }
    std::string output;
    EXPECT_EQ(RunProgram("--headless --loop --capture " + folder + "/never", &output), 2);
    EXPECT_NE(output.find("--passes N"), std::string::npos) << output;
}

// Records the frame times it is given; on its first frame at or after a moment, rewrites a file.
class Recorder : public CEffect {
public:
    int Init(int, int) override { return 0; }
    void RenderFrame(LONG time) override
    {
        times.push_back(time);
        if (!rewritePath.empty() && time >= rewriteAt) {
            WriteText(rewritePath, rewriteText);
            rewritePath.clear();
        }
    }
    void End() override { ended = true; }

    std::vector<LONG> times;
    bool ended = false;
    std::string rewritePath, rewriteText;
    LONG rewriteAt = 0;
};

class TimelineUnderAWindow : public ::testing::Test {
protected:
    // Plays the timeline file in a window (the offscreen driver's) until its end, in real time.
    void Play(const std::string& rewriteTo)
    {
        ContextSettings settings;
        settings.renderWidth = 32;
        settings.renderHeight = 24;
        settings.vsync = false;
        std::string error;
        ASSERT_TRUE(context.Create(settings, error)) << error;
        host.effects = {{&first, "FIRST"}, {&second, "SECOND"}};
        path = TemporaryFolder("timeline-watch") + "/timeline.txt";
        WriteText(path, "0 start FIRST 1\n2000 end\n");
        Timeline timeline;
        ASSERT_TRUE(ParseTimeline("0 start FIRST 1\n2000 end\n", path, timeline, error)) << error;
        first.rewritePath = path;
        first.rewriteText = rewriteTo;
        first.rewriteAt = 300;
        options.timelinePath = path;
        options.quiet = true;
        Player player(host, context, options, startup, timeline, silence);
        ASSERT_EQ(player.Run(nullptr, timeline.endTime - 1), 0);
        error_ = player.TimelineError();
    }

    HostState host;
    GlContext context;
    PlaySettings options;
    std::unique_ptr<audio::Soundtrack> silence;
    SStartupDat startup{};
    Recorder first, second;
    std::string path, error_;
};

TEST_F(TimelineUnderAWindow, AValidChangeIsPlayedFromTheSameMomentAsItsOwnRunWouldBe)
{
    Play("0 start SECOND 1\n2000 end\n");
    EXPECT_TRUE(error_.empty()) << error_;
    EXPECT_TRUE(first.ended);
    ASSERT_FALSE(second.times.empty()) << "the new timeline was not picked up";
    EXPECT_EQ(second.times.front(), 0) << "the new timeline's effects are replayed from its beginning";
    const LONG replaced = first.times.back();
    EXPECT_GE(replaced, 300);
    // After the replay the piece goes on from where it was, not from the start nor far ahead.
    auto resumed = std::find_if(second.times.begin(), second.times.end(), [&](LONG t) { return t >= replaced; });
    ASSERT_NE(resumed, second.times.end());
    EXPECT_LT(*resumed - replaced, 400);
    EXPECT_GE(second.times.back(), 1900);
}

TEST_F(TimelineUnderAWindow, ABrokenChangeIsReportedAndTheOldTimelinePlaysOn)
{
    Play("0 start SECOND 1\n100 strat FIRST 2\n2000 end\n");
    EXPECT_EQ(error_.rfind(path + ":2: ", 0), 0u) << error_;
    EXPECT_TRUE(second.times.empty());
    EXPECT_TRUE(std::is_sorted(first.times.begin(), first.times.end())) << "the old timeline was not replayed";
    EXPECT_GE(first.times.back(), 1900);
}

}  // namespace
