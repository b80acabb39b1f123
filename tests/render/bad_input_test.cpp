// What the program does with input a user can get wrong or replace: archives, pictures, timelines,
// options, capture folders, and a run cut short. Each refusal must be one line naming the culprit,
// with status 2 for options and 1 otherwise; pictures only warn and the run goes on.
#include <gtest/gtest.h>
#include <SDL2/SDL.h>
#include <zip.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "effects/control.h"
#include "host/demogl.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A hang is a failure too: every run is cut off after a minute.
int RunProgram(const std::string& arguments, std::string& output)
{
    output.clear();
    return RunCommand("SDL_VIDEODRIVER=offscreen LIBGL_ALWAYS_SOFTWARE=1 timeout 60 " + std::string(TARNELVOIS_BINARY) +
                          " " + arguments,
                      &output);
}

std::vector<std::string> LinesStartingWith(const std::string& output, const std::string& prefix)
{
    std::vector<std::string> lines;
    std::istringstream stream(output);
    for (std::string line; std::getline(stream, line);)
        if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    return lines;
}

// The output holds exactly one error line (warnings aside), and it mentions 'culprit'.
::testing::AssertionResult OneErrorNaming(const std::string& output, const std::string& culprit)
{
    std::vector<std::string> errors;
    for (const std::string& line : LinesStartingWith(output, "tarnelvois: "))
        if (line.rfind("tarnelvois: warning: ", 0) != 0) errors.push_back(line);
    if (errors.size() != 1) return ::testing::AssertionFailure() << errors.size() << " error lines in:\n" << output;
    if (errors[0].find(culprit) == std::string::npos)
        return ::testing::AssertionFailure() << "'" << culprit << "' not named in: " << errors[0];
    return ::testing::AssertionSuccess();
}

void Save(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A zip whose entries are stored, not deflated, so their bytes can be found and damaged in the file.
void WriteStoredZip(const std::string& path, const std::map<std::string, Bytes>& entries)
{
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE);
        ASSERT_GE(index, 0);
        zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

// Flips one byte in the middle of 'inside' where it appears in the file at 'path'.
void Damage(const std::string& path, const Bytes& inside)
{
    Bytes file = ReadFileBytes(path);
    const auto found = std::search(file.begin(), file.end(), inside.begin(), inside.end());
    ASSERT_NE(found, file.end());
    found[inside.size() / 2] ^= 0x20;
    Save(path, file);
}

const std::string kShortTimeline = "0 start CONTROL 0\n200 end\n";
const std::string kQuickRun = "--headless --size 32x24 --fps 10 ";

TEST(BadArchive, RefusedInOneLineNamingTheFile)
{
    const std::string folder = TemporaryFolder("bad-archive");
    const Bytes real = ReadFileBytes(TARNELVOIS_ARCHIVE);
    ASSERT_GT(real.size(), 1000u);

    Save(folder + "/empty.zip", {});
    Save(folder + "/text.zip", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'z', 'i', 'p', '\n'});
    Save(folder + "/half.zip", Bytes(real.begin(), real.begin() + real.size() / 2));
    Save(folder + "/cut-short.zip", Bytes(real.begin(), real.end() - 10));
    WriteZip(folder + "/no-timeline.zip", {{"demotex/Line.tga", MakeTga(1, 1, {1, 2, 3})}});
    const Bytes timeline = Bytes(kShortTimeline.begin(), kShortTimeline.end());
    WriteStoredZip(folder + "/bad-checksum.zip", {{"timeline.txt", timeline}});
    Damage(folder + "/bad-checksum.zip", timeline);
    // Comment lines compress to almost nothing, so the entry is small in the file and huge inflated.
    Bytes hugeTimeline(65 * 1024 * 1024, '#');
    WriteZip(folder + "/huge-timeline.zip", {{"timeline.txt", hugeTimeline}});
    hugeTimeline = Bytes();

    const std::vector<std::pair<std::string, std::string>> cases = {
        {folder + "/missing.zip", "no such file"},
        {folder, "not a file"},
        {folder + "/empty.zip", "empty"},
        {folder + "/text.zip", "not a zip"},
        {folder + "/half.zip", "zip"},
        {folder + "/cut-short.zip", "zip"},
        {folder + "/no-timeline.zip", "timeline.txt"},
        {folder + "/bad-checksum.zip", "checksum"},
        {folder + "/huge-timeline.zip", "too large"},
    };
    for (const auto& [path, problem] : cases) {
        std::string output;
        EXPECT_EQ(RunProgram(kQuickRun + "--data " + path, output), 1) << path << "\n" << output;
        EXPECT_TRUE(OneErrorNaming(output, path)) << path;
        EXPECT_TRUE(OneErrorNaming(output, problem)) << path;
    }
    EXPECT_FALSE(fs::exists(folder + "/missing.zip")) << "a missing archive must not be created";
}

TEST(BadPictures, EachBrokenPictureWarnsOnceAndTheRunGoesOn)
{
    const std::string folder = TemporaryFolder("bad-pictures");
    Bytes header(18, 0);
    header[2] = 2;   // true colour
    header[16] = 24;
    auto sized = [&](int width, int height) {
        Bytes tga = header;
        tga[12] = std::uint8_t(width), tga[13] = std::uint8_t(width >> 8);
        tga[14] = std::uint8_t(height), tga[15] = std::uint8_t(height >> 8);
        return tga;
    };
    Bytes truncated = MakeTga(8, 8, Bytes(8 * 8 * 3, 200));
    truncated.resize(truncated.size() - 40);
    Bytes unsupportedType = MakeTga(2, 2, Bytes(12, 9));
    unsupportedType[2] = 32;
    Bytes mapOutOfRange = sized(2, 2);
    mapOutOfRange[1] = 1, mapOutOfRange[2] = 1, mapOutOfRange[16] = 8;   // colour-mapped, 8-bit indices
    mapOutOfRange[5] = 0x2C, mapOutOfRange[6] = 0x01, mapOutOfRange[7] = 24;  // 300 entries: more than an index reaches
    mapOutOfRange.resize(mapOutOfRange.size() + 300 * 3 + 4, 0);
    const Bytes damaged = MakeTga(16, 16, Bytes(16 * 16 * 3, 77));

    const std::string archive = folder + "/data.zip";
    WriteStoredZip(archive, {
                                {"timeline.txt", Bytes(kShortTimeline.begin(), kShortTimeline.end())},
                                {"demotex/End.tga", {}},
                                {"demotex/KorbaPlunte2.tga", truncated},
                                {"demotex/Light.tga", unsupportedType},
                                {"demotex/Line.tga", sized(0, 0)},
                                {"demotex/Txts3.tga", sized(65535, 65535)},
                                {"demotex/Txts4.tga", mapOutOfRange},
                                {"demotex/Zep.tga", damaged},
                            });
    Damage(archive, Bytes(damaged.begin() + 18, damaged.end()));

    std::string output;
    ASSERT_EQ(RunProgram(kQuickRun + "--data " + archive + " --capture " + folder + "/frames", output), 0) << output;
    const std::vector<std::string> warnings = LinesStartingWith(output, "tarnelvois: warning: ");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"End.tga", "truncated"},        {"KorbaPlunte2.tga", "truncated"}, {"Light.tga", "type 32"},
        {"Line.tga", "size 0x0"},        {"Txts3.tga", "size 65535x65535"}, {"Txts4.tga", "colour map"},
        {"Zep.tga", "checksum"},
    };
    for (const auto& [name, reason] : expected) {
        int count = 0;
        for (const std::string& warning : warnings) {
            if (warning.find(name) == std::string::npos) continue;
            ++count;
            EXPECT_NE(warning.find(reason), std::string::npos) << warning;
            EXPECT_NE(warning.find(archive), std::string::npos) << warning;
        }
        EXPECT_EQ(count, 1) << name << "\n" << output;
    }
    EXPECT_EQ(ReadPng(folder + "/frames/frame-000000.png").width, 32);
}

TEST(BadTimeline, EveryKindOfMistakeNamesFileAndLine)
{
    const std::string folder = TemporaryFolder("bad-timeline");
    struct Case {
        std::string name, text, where, problem;
    };
    const std::vector<Case> cases = {
        {"unknown-effect", "0 start CONTROL 0\n0 start NOBODY 3\n100 end\n", ":2:", "NOBODY"},
        {"layer-range", "0 start CONTROL 1001\n100 end\n", ":1:", "layer"},
        {"time-range", "0 start CONTROL 0\n86400001 end\n", ":2:", "time"},
        {"negative-time", "-5 start CONTROL 0\n100 end\n", ":1:", "time"},
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
        std::string output;
        EXPECT_EQ(RunProgram(kQuickRun + "--data " + TARNELVOIS_ARCHIVE + " --timeline " + path, output), 1) << c.name << "\n" << output;
        EXPECT_TRUE(OneErrorNaming(output, path + c.where)) << c.name;
        EXPECT_TRUE(OneErrorNaming(output, c.problem)) << c.name;
    }

    // The archive's own timeline is named by archive and entry.
    const std::string archive = folder + "/data.zip";
    WriteZip(archive, {{"timeline.txt", Bytes{'0', ' ', 'e', 'n', 'x', '\n'}}});
    std::string output;
    EXPECT_EQ(RunProgram(kQuickRun + "--data " + archive, output), 1) << output;
    EXPECT_TRUE(OneErrorNaming(output, archive + ":timeline.txt:1:"));
}

TEST(BadTimeline, WhatIsNotAFileIsRefusedNotReadForever)
{
    const std::string folder = TemporaryFolder("timeline-not-file");
    for (const std::string& path : {folder + "/missing.txt", folder, std::string("/dev/zero")}) {
        std::string output;
        // The memory cap turns an endless read into a quick failure instead of a full machine.
        const int status = RunCommand("ulimit -v 4000000; SDL_VIDEODRIVER=offscreen timeout 20 " +
                                          std::string(TARNELVOIS_BINARY) + " " + kQuickRun + "--data " +
                                          TARNELVOIS_ARCHIVE + " --timeline " + path,
                                      &output);
        EXPECT_EQ(status, 1) << path << "\n" << output;
        EXPECT_TRUE(OneErrorNaming(output, path)) << path;
        EXPECT_EQ(output.find("no end line"), std::string::npos) << path << ": " << output;
    }
}

TEST(BadOptions, EveryValueOptionRefusesMissingMalformedAndOutOfRangeValues)
{
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"--size", {"", "abc", "640", "640x", "0x0", "16x0", "-640x480", "100000x100000", "640x480x3", "640X480"}},
        {"--fps", {"", "abc", "0", "-30", "1001", "99999999999999999999", "30fps", "2.5"}},
        {"--start", {"", "abc", "-1", "86400001", "1e3"}},
        {"--end", {"", "abc", "-1", "4294967296"}},
        {"--seed", {"", "abc", "-1", "4294967296", "0x10"}},
        {"--data", {""}},
        {"--timeline", {""}},
        {"--capture", {""}},
    };
    for (const auto& [option, values] : cases) {
        for (const std::string& value : values) {
            for (const std::string& form : {option + " '" + value + "'", option + "='" + value + "'"}) {
                // An empty value given last is the same mistake as a missing one.
                const std::string arguments = value.empty() ? "--headless " + option : "--headless " + form;
                std::string output;
                EXPECT_EQ(RunProgram(arguments, output), 2) << arguments << "\n" << output;
                EXPECT_TRUE(OneErrorNaming(output, option)) << arguments;
            }
        }
    }
}

TEST(BadOptions, ContradictionsAndStrangersAreRefusedBeforeAnythingRuns)
{
    const std::string archive = std::string(" --data ") + TARNELVOIS_ARCHIVE;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"--start 5000 --end 4000", "--start"},
        {"--headless --start 300000" + archive, "--start"},  // after the demo's end
        {"--headless=yes", "--headless"},
        {"--frobnicate", "--frobnicate"},
        {"stray", "stray"},
        {"-x", "-x"},
    };
    for (const auto& [arguments, culprit] : cases) {
        std::string output;
        EXPECT_EQ(RunProgram(arguments, output), 2) << arguments << "\n" << output;
        EXPECT_TRUE(OneErrorNaming(output, culprit)) << arguments;
    }
}

TEST(BadOutput, CaptureFolderThatCannotBeMadeOrWritten)
{
    const std::string folder = TemporaryFolder("bad-output");
    Save(folder + "/a-file", {1});
    const std::string common = kQuickRun + "--data " + TARNELVOIS_ARCHIVE + " --end 100 --capture ";
    for (const std::string& capture : {folder + "/a-file/frames", folder + "/a-file", std::string("/proc/frames"),
                                       std::string("/proc")}) {
        std::string output;
        EXPECT_EQ(RunProgram(common + capture, output), 1) << capture << "\n" << output;
        EXPECT_TRUE(OneErrorNaming(output, capture)) << capture;
    }
}

// Mounts a small tmpfs (root only); unmounts it when done.
class SmallDisk {
public:
    explicit SmallDisk(const std::string& folder) : folder_(folder)
    {
        mounted_ = RunCommand("mount -t tmpfs -o size=200k tmpfs " + folder_) == 0;
    }
    ~SmallDisk()
    {
        if (mounted_) RunCommand("umount " + folder_);
    }
    bool Mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};

TEST(BadOutput, FullDiskStopsTheCaptureWithNothingHalfWritten)
{
    const std::string folder = TemporaryFolder("full-disk");
    SmallDisk disk(folder);
    if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
    // The scroller's text pictures make frames that do not compress to nothing.
    std::string output;
    const int status =
        RunProgram("--headless --size 320x240 --fps 10 --start 200000 --end 204000 --seed 1 --data " +
                std::string(TARNELVOIS_ARCHIVE) + " --capture " + folder + "/frames",
            output);
    EXPECT_EQ(status, 1) << output;
    EXPECT_TRUE(OneErrorNaming(output, folder + "/frames")) << output;
    std::vector<std::string> incomplete;
    for (const auto& entry : fs::directory_iterator(folder + "/frames")) {
        const std::string name = entry.path().filename();
        if (name.size() > 4 && name.substr(name.size() - 4) == ".png" && ReadPng(entry.path()).width != 320)
            incomplete.push_back(name);
    }
    EXPECT_TRUE(incomplete.empty()) << incomplete.size() << " frames left incomplete under their final names, such as "
                                    << incomplete.front();
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

int RunInProcess(const std::vector<std::string>& options)
{
    std::vector<std::string> arguments = {"tarnelvois"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    PlatformInstance instance;
    instance.argumentCount = int(argv.size());
    instance.arguments = argv.data();
    instance.executablePath = argv[0];
    SStartupDat startup{};
    std::strncpy(startup.demoName, "Test", sizeof startup.demoName);
    std::strncpy(startup.groupName, "Tests", sizeof startup.groupName);
    startup.resizableWindow = true;
    const int status = DEMOGL_AppRun(&instance, &startup, "Test", false, 0, 0, 1);
    DEMOGL_AppEnd();
    return status;
}

constexpr const char* kInWindow = "TARNELVOIS_TEST_IN_WINDOW";

TEST(CutShort, SliverMinimisedThenClosedWindowEndsTheEffectsAndSucceeds)
{
    if (!std::getenv(kInWindow)) {
        // The test runs again in a child process with a virtual display of its own.
        if (RunCommand("command -v xvfb-run") != 0) GTEST_SKIP() << "xvfb-run is not installed";
        const std::string self = fs::read_symlink("/proc/self/exe");
        std::string output;
        const int status = RunCommand("env -u SDL_VIDEODRIVER " + std::string(kInWindow) + "=1 xvfb-run -a " + self +
                                          " --gtest_filter=CutShort.SliverMinimisedThenClosedWindowEndsTheEffectsAndSucceeds",
                                      &output);
        EXPECT_EQ(status, 0) << output;
        return;
    }
    const std::string folder = TemporaryFolder("closed");
    WriteZip(folder + "/data.zip", {{"timeline.txt", Bytes(0)}});
    std::ofstream(folder + "/timeline.txt") << "0 start CONTROL 0\n0 start ABUSE 1\n100000 end\n";

    CControlEffect control;
    WindowAbuseEffect abuse;
    DEMOGL_EffectRegister(&control, "CONTROL");
    DEMOGL_EffectRegister(&abuse, "ABUSE");
    EXPECT_EQ(RunInProcess({"--size", "64x48", "--data", folder + "/data.zip", "--timeline", folder + "/timeline.txt"}), 0);
    EXPECT_EQ(abuse.ends, 1) << "every running effect is ended once";

    // A capture cut short by closing its window is not a finished capture.
    WindowAbuseEffect captured;
    DEMOGL_EffectRegister(&control, "CONTROL");
    DEMOGL_EffectRegister(&captured, "ABUSE");
    EXPECT_EQ(RunInProcess({"--size", "64x48", "--data", folder + "/data.zip", "--timeline", folder + "/timeline.txt",
                            "--capture", folder + "/frames"}),
              1);
    EXPECT_EQ(captured.ends, 1);
}

}  // namespace
