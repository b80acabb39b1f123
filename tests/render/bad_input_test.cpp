// What the program does with input a user can get wrong or replace: archives, pictures, timelines,
// options, capture folders, and a run cut short. Each refusal must be one line naming the culprit,
// with status 2 for options and 1 otherwise; pictures only warn and the run goes on.
#include <gtest/gtest.h>
#include <SDL2/SDL.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "effects/control.h"
#include "host/demogl.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> LinesStartingWith(const std::string& output, const std::string& prefix)
{
    std::vector<std::string> lines;
    std::istringstream stream(output);
    for (std::string line; std::getline(stream, line);)
        if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    return lines;
}

// Runs the program and expects 'status' and exactly one error line (warnings aside) naming every
// culprit. The memory cap turns an endless read into a quick failure instead of a full machine.
void ExpectRefused(const std::string& arguments, int status, const std::vector<std::string>& culprits)
{
    std::string output;
    EXPECT_EQ(RunCommand("ulimit -v 4000000; " + kProgram + " " + arguments, &output), status) << arguments << "\n" << output;
    std::vector<std::string> errors;
    for (const std::string& line : LinesStartingWith(output, "tarnelvois: "))
        if (line.rfind("tarnelvois: warning: ", 0) != 0) errors.push_back(line);
    ASSERT_EQ(errors.size(), 1u) << arguments << "\n" << output;
    for (const std::string& culprit : culprits)
        EXPECT_NE(errors[0].find(culprit), std::string::npos) << "'" << culprit << "' not named in: " << errors[0];
}

// Flips one byte in the middle of 'inside' where it appears in the file at 'path'.
void Damage(const std::string& path, const Bytes& inside)
{
    Bytes file = ReadFileBytes(path);
    const auto found = std::search(file.begin(), file.end(), inside.begin(), inside.end());
    ASSERT_NE(found, file.end());
    found[inside.size() / 2] ^= 0x20;
    SaveFile(path, file);
}

const Bytes kShortTimeline = TextBytes("0 end\n");
const std::string kQuickRun = "--headless --size 32x24 --fps 10 ";

TEST(BadArchive, RefusedInOneLineNamingTheFileAndTheFault)
{
    const std::string folder = TemporaryFolder("bad-archive");
    const Bytes real = ReadFileBytes(TARNELVOIS_ARCHIVE);
    ASSERT_GT(real.size(), 1000u);
    SaveFile(folder + "/empty.zip", {});
    SaveFile(folder + "/text.zip", Bytes{'n', 'o', 't', ' ', 'z', 'i', 'p', '\n'});
    SaveFile(folder + "/half.zip", Bytes(real.begin(), real.begin() + real.size() / 2));
    WriteZip(folder + "/no-timeline.zip", {{"demotex/Line.tga", MakeTga(1, 1, {1, 2, 3})}});
    WriteZip(folder + "/bad-checksum.zip", {{"timeline.txt", kShortTimeline}}, true);
    Damage(folder + "/bad-checksum.zip", kShortTimeline);
    // Comment lines compress to almost nothing, so the entry is small in the file and huge inflated.
    WriteZip(folder + "/huge-timeline.zip", {{"timeline.txt", Bytes(65 * 1024 * 1024, '#')}});

    const std::pair<std::string, std::string> cases[] = {
        {"missing.zip", "no such file"}, {"", "not a file"},           {"empty.zip", "empty"},
        {"text.zip", "not a zip"},       {"half.zip", "not a zip"},     {"no-timeline.zip", "timeline.txt"},
        {"bad-checksum.zip", "checksum"}, {"huge-timeline.zip", "too large"},
    };
    for (const auto& [name, fault] : cases)
        ExpectRefused(kQuickRun + "--data " + folder + "/" + name, 1, {folder + "/" + name, fault});
    EXPECT_FALSE(fs::exists(folder + "/missing.zip")) << "a missing archive must not be created";
}

// The decoder's own test has every way a picture can be broken; here, that each reaches the user once.
TEST(BadPictures, EachBrokenPictureWarnsOnceAndTheRunGoesOn)
{
    const std::string folder = TemporaryFolder("bad-pictures");
    Bytes unsupportedType = MakeTga(2, 2, Bytes(12, 9));
    unsupportedType[2] = 32;
    const Bytes damaged = MakeTga(16, 16, Bytes(16 * 16 * 3, 77));
    const std::string archive = folder + "/data.zip";
    WriteZip(archive,
             {{"timeline.txt", TextBytes("0 start CONTROL 0\n200 end\n")},
              {"demotex/End.tga", {}},
              {"demotex/Light.tga", unsupportedType},
              {"demotex/Zep.tga", damaged}},
             true);
    Damage(archive, Bytes(damaged.begin() + 18, damaged.end()));

    std::string output;
    ASSERT_EQ(RunProgram(kQuickRun + "--data " + archive + " --capture " + folder + "/frames", &output), 0) << output;
    const std::vector<std::string> warnings = LinesStartingWith(output, "tarnelvois: warning: ");
    const std::pair<std::string, std::string> expected[] = {
        {"demotex/End.tga", "truncated"}, {"demotex/Light.tga", "type 32"}, {"demotex/Zep.tga", "checksum"},
        {"demotex/Line.tga", "no such entry"},  // named as the archive would hold it, not as asked for
    };
    for (const auto& [name, reason] : expected) {
        const auto count = std::count_if(warnings.begin(), warnings.end(), [&](const std::string& warning) {
            return warning.find(name) != std::string::npos && warning.find(reason) != std::string::npos &&
                   warning.find(archive) != std::string::npos;
        });
        EXPECT_EQ(count, 1) << name << " " << reason << "\n" << output;
    }
    EXPECT_EQ(ReadPng(folder + "/frames/frame-000000.png").width, 32);
}

TEST(BadTimeline, EveryKindOfMistakeNamesFileAndLine)
{
    const std::string folder = TemporaryFolder("bad-timeline");
    struct Case {
        std::string name, text, where, problem;
    };
    const Case cases[] = {
        {"unknown-effect", "0 start CONTROL 0\n0 start NOBODY 3\n100 end\n", ":2:", "NOBODY"},
        {"layer-range", "0 start CONTROL 1001\n100 end\n", ":1:", "layer"},
        {"time-range", "0 start CONTROL 0\n86400001 end\n", ":2:", "time"},
        {"after-quote", "0 start CONTROL 0\n5 param CONTROL \"COLOR OFF\" now\n100 end\n", ":2:", "after the closing quote"},
        {"started-twice", "0 start CONTROL 0\n# again\n5 start CONTROL 1\n100 end\n", ":3:", "already running"},
        {"stop-idle", "0 start CONTROL 0\n5 stop LOGO\n100 end\n", ":2:", "not running"},
        {"backwards", "50 start CONTROL 0\n40 stop CONTROL\n100 end\n", ":2:", "before"},
        {"no-end", "0 start CONTROL 0\n", ":1:", "no end"},
        {"binary", std::string("0 start CONTROL 0\n\x89PNG\r\n\x1a\n\0\0\0", 30), ":2:", "not a text file"},
    };
    for (const Case& c : cases) {
        const std::string path = folder + "/" + c.name + ".txt";
        std::ofstream(path, std::ios::binary) << c.text;
        ExpectRefused(kQuickRun + "--timeline " + path, 1, {path + c.where, c.problem});
    }
    // What is not a file is refused, not read forever.
    for (const std::string& path : {folder + "/missing.txt", folder, std::string("/dev/zero")})
        ExpectRefused(kQuickRun + "--timeline " + path, 1, {path});

    // The archive's own timeline is named by archive and entry.
    WriteZip(folder + "/data.zip", {{"timeline.txt", TextBytes("0 enx\n")}});
    ExpectRefused(kQuickRun + "--data " + folder + "/data.zip", 1, {folder + "/data.zip:timeline.txt:1:"});
}

// One of each way out before anything plays; the option parser's own test has every value.
TEST(BadOptions, RefusedWithStatusTwoNamingTheOption)
{
    const std::pair<std::string, std::string> cases[] = {
        {"--size 0x0", "--size"},
        {"--fps=abc", "--fps"},
        {"--headless --seed", "--seed"},  // a value missing at the end
        {"--start 5000 --end 4000", "--start"},
        {"--headless --start 300000", "--start"},  // after the demo's end
        {"--frobnicate", "--frobnicate"},
        {"stray", "stray"},
        {"--headless --capture x.mp4 --crf 99", "--crf"},
        {"--headless --capture x.mp4 --quality best", "--quality"},
        {"--headless --quality share", "--quality"},  // no video to apply it to
        {"--headless --crf 20 --capture frames/", "--crf"},
    };
    for (const auto& [arguments, culprit] : cases) ExpectRefused(arguments, 2, {culprit});
}

TEST(BadOutput, CaptureFolderThatCannotBeMade)
{
    const std::string folder = TemporaryFolder("bad-output");
    SaveFile(folder + "/a-file", {1});
    for (const std::string& capture : {folder + "/a-file/frames", std::string("/proc/frames")})
        ExpectRefused(kQuickRun + "--end 100 --capture " + capture, 1, {capture});
}

TEST(BadOutput, FullDiskStopsTheCaptureWithNothingHalfWritten)
{
    const std::string folder = TemporaryFolder("full-disk");
    if (RunCommand("mount -t tmpfs -o size=200k tmpfs " + folder) != 0) GTEST_SKIP() << "cannot mount a tmpfs (needs root)";
    const std::shared_ptr<void> unmount(nullptr, [&](void*) { RunCommand("umount " + folder); });
    // The scroller's text pictures make frames that do not compress to nothing.
    ExpectRefused("--headless --size 320x240 --fps 10 --start 200000 --end 204000 --seed 1 --capture " + folder + "/frames",
                  1, {folder + "/frames"});
    for (const std::string& name : FilesIn(folder + "/frames"))
        EXPECT_EQ(ReadPng(folder + "/frames/" + name).width, 320) << name << " is left incomplete under its final name";
}

// In a real window: squeezes it to a sliver, minimises it, restores it, then asks the host to
// quit exactly as SDL does when the window's close button is pressed.
class WindowAbuseEffect : public CEffect {
public:
    void RenderFrame(LONG time) override
    {
        SDL_Window* window = SDL_GL_GetCurrentWindow();
        if (!window) return;
        if (time >= 100 && step_ == 0) SDL_SetWindowSize(window, 1, 1), ++step_;
        if (time >= 200 && step_ == 1) SDL_MinimizeWindow(window), ++step_;
        if (time >= 300 && step_ == 2) SDL_RestoreWindow(window), SDL_SetWindowSize(window, 3, 200), ++step_;
        if (time >= 400 && step_ == 3) {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
            ++step_;
        }
    }
    void End() override { ++ends; }
    int ends = 0;

private:
    int step_ = 0;
};

TEST(CutShort, SliverMinimisedThenClosedWindowEndsTheEffectsAndSucceeds)
{
    if (!std::getenv("TARNELVOIS_TEST_IN_WINDOW")) {
        // The test runs again in a child process with a virtual display of its own.
        if (RunCommand("command -v xvfb-run") != 0) GTEST_SKIP() << "xvfb-run is not installed";
        std::string output;
        EXPECT_EQ(RunCommand("env -u SDL_VIDEODRIVER TARNELVOIS_TEST_IN_WINDOW=1 " + XvfbRun() +
                                 fs::read_symlink("/proc/self/exe").string() + " --gtest_filter=CutShort.*",
                             &output),
                  0)
            << output;
        return;
    }
    const std::string folder = TemporaryFolder("closed");
    WriteZip(folder + "/data.zip", {{"timeline.txt", TextBytes("0 start CONTROL 0\n0 start ABUSE 1\n100000 end\n")}});
    for (bool capture : {false, true}) {
        CControlEffect control;
        WindowAbuseEffect abuse;
        DEMOGL_EffectRegister(&control, "CONTROL");
        DEMOGL_EffectRegister(&abuse, "ABUSE");
        std::vector<std::string> options = {"--size", "64x48", "--data", folder + "/data.zip"};
        if (capture) options.insert(options.end(), {"--capture", folder + "/frames"});
        // A capture cut short by closing its window is not a finished capture.
        EXPECT_EQ(RunInProcess(options), capture ? 1 : 0);
        EXPECT_EQ(abuse.ends, 1) << "every running effect is ended once";
    }
}

}  // namespace
