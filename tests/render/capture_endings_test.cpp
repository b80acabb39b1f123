// Every way a capture can end, through the real program and a stand-in ffmpeg on PATH: the exit
// status, the one line said, and what the folder holds afterwards. The promise under test: status 0
// and a complete file under its final name, or another status, one line and nothing under that name.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// A stand-in for ffmpeg: a shell script that records its pid and its reader's pid in its own folder,
// feeds its input to a child (cat into the output, or a sleep that never reads, so the pipe stays
// open), touches "fed" when the input has ended, then runs 'ending'.
std::string FakeEncoder(const std::string& name, const std::string& ending, bool reads = true)
{
    const std::string folder = TemporaryFolder("fake-" + name);
    std::ofstream script(folder + "/ffmpeg");
    script << "#!/bin/sh\n"
              "for last; do :; done\n"
              "out=${last#file:}\n"
              "here=$(dirname \"$0\")\n"
              "echo $$ > \"$here/pid\"\n"
              "cat <&3 > /dev/null &\n"  // the sound, when there is one, is always taken
              "exec 4<&0\n"  // a background child would otherwise read /dev/null
           << (reads ? "cat <&4 > \"$out\" &\n" : "sleep 60 <&4 &\n")
           << "echo $! > \"$here/child\"\n"
              "wait $!\n"
              "touch \"$here/fed\"\n"
           << ending << "\n";
    script.close();
    fs::permissions(folder + "/ffmpeg", fs::perms::owner_all);
    return folder;
}

bool WaitFor(const std::function<bool()>& condition, double seconds)
{
    const auto until = Clock::now() + std::chrono::milliseconds(int(seconds * 1000));
    while (!condition()) {
        if (Clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// A process is gone once it no longer exists or is a zombie waiting for a parent that is not us.
bool Gone(pid_t process)
{
    std::ifstream stat("/proc/" + std::to_string(process) + "/stat");
    std::string pid, name, state;
    return !(stat >> pid >> name >> state) || state == "Z";
}

pid_t PidIn(const std::string& file)
{
    pid_t pid = 0;
    std::ifstream(file) >> pid;
    return pid;
}

// The program as a child with the stand-in encoder first on PATH; 'prepare' runs in the child just
// before exec (signal dispositions, closed descriptors). stdout and stderr go to 'log'.
struct Launched {
    pid_t pid = -1;
    std::string log;
    int status = -1;

    // Waits up to 'seconds'; false (and the child killed) when it is still running then.
    bool Wait(double seconds)
    {
        int raw = 0;
        const bool ended = WaitFor([&] { return waitpid(pid, &raw, WNOHANG) == pid; }, seconds);
        if (!ended) {
            kill(pid, SIGKILL);
            waitpid(pid, &raw, 0);
        }
        status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        return ended;
    }
    std::string Said() const
    {
        const Bytes bytes = ReadFileBytes(log);
        return {bytes.begin(), bytes.end()};
    }
};

Launched Launch(const std::string& encoderFolder, const std::vector<std::string>& arguments,
                const std::function<void()>& prepare = [] {})
{
    Launched run;
    run.log = TemporaryFolder("log-" + std::to_string(Clock::now().time_since_epoch().count())) + "/said";
    run.pid = fork();
    if (run.pid == 0) {
        const int log = open(run.log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(log, 1), dup2(log, 2), close(log);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("PATH", (encoderFolder + ":/usr/bin:/bin").c_str(), 1);
        std::vector<std::string> all = {TARNELVOIS_BINARY, "--data", TARNELVOIS_ARCHIVE, "--headless"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& argument : all) argv.push_back(argument.data());
        argv.push_back(nullptr);
        // A test harness may run with these ignored, and the program keeps what it inherits.
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, SIG_DFL);
        prepare();
        execv(argv[0], argv.data());
        _exit(127);
    }
    return run;
}

// Small frames: 320x240 fills the encoder's pipe within a few frames, so a stall is felt at once.
std::vector<std::string> Capture(const std::string& output, const std::string& end = "400")
{
    return {"--quiet", "--size", "320x240", "--fps", "30", "--seed", "7", "--end", end, "--capture", output};
}

TEST(CaptureEndings, ASignalWhileTheEncoderFinishesLeavesNothingAndIsAnswered)
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const std::string encoder = FakeEncoder("finishing", "sleep 60");
        const std::string folder = TemporaryFolder("finishing");
        Launched run = Launch(encoder, Capture(folder + "/demo.mp4"));
        ASSERT_TRUE(WaitFor([&] { return fs::exists(encoder + "/fed"); }, 30)) << run.Said();
        kill(run.pid, signal);
        ASSERT_TRUE(run.Wait(10)) << "the signal was not answered while ffmpeg finished";
        EXPECT_EQ(run.status, 128 + signal) << run.Said();
        EXPECT_NE(run.Said().find("capture interrupted; nothing written under " + folder + "/demo.mp4"),
                  std::string::npos)
            << run.Said();
        EXPECT_TRUE(FilesIn(folder).empty());
        EXPECT_TRUE(WaitFor([&] { return Gone(PidIn(encoder + "/pid")); }, 5)) << "the encoder was left running";
    }
}

TEST(CaptureEndings, AStalledOrStoppedEncoderStillAnswersSigtermAndItsGroupIsKilled)
{
    for (const bool stopped : {false, true}) {
        // Stalled: never reads. Stopped: reads until this test stops its whole group.
        const std::string encoder = FakeEncoder("stall", "sleep 60", stopped);
        const std::string folder = TemporaryFolder("stall");
        Launched run = Launch(encoder, Capture(folder + "/demo.mp4", "20000"));
        ASSERT_TRUE(WaitFor([&] { return PidIn(encoder + "/child") > 0; }, 30)) << run.Said();
        if (stopped) kill(-PidIn(encoder + "/pid"), SIGSTOP);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the pipe and the queue fill up
        kill(run.pid, SIGTERM);
        ASSERT_TRUE(run.Wait(10)) << "SIGTERM was not answered with the encoder " << (stopped ? "stopped" : "stalled");
        EXPECT_EQ(run.status, 128 + SIGTERM) << run.Said();
        EXPECT_TRUE(FilesIn(folder).empty());
        // The child holding the pipe is in the encoder's group: it must go too.
        EXPECT_TRUE(WaitFor([&] { return Gone(PidIn(encoder + "/child")); }, 5));
    }
}

TEST(CaptureEndings, ASecondCtrlCStillStopsTheEncoderAndRemovesTheTemporaryFile)
{
    const std::string encoder = FakeEncoder("twice", "sleep 60");
    const std::string folder = TemporaryFolder("twice");
    Launched run = Launch(encoder, Capture(folder + "/demo.mp4"));
    ASSERT_TRUE(WaitFor([&] { return fs::exists(encoder + "/fed"); }, 30)) << run.Said();
    // Back to back: the second comes before the first can be answered, or just after.
    kill(run.pid, SIGINT);
    kill(run.pid, SIGINT);
    ASSERT_TRUE(run.Wait(10));
    EXPECT_EQ(run.status, 128 + SIGINT) << run.Said();
    EXPECT_TRUE(FilesIn(folder).empty()) << "the temporary file remains";
    EXPECT_TRUE(WaitFor([&] { return Gone(PidIn(encoder + "/pid")) && Gone(PidIn(encoder + "/child")); }, 5));
}

TEST(CaptureEndings, SignalsIgnoredAtStartStayIgnored)
{
    const std::string encoder = FakeEncoder("nohup", "sleep 1");
    const std::string folder = TemporaryFolder("nohup");
    Launched run = Launch(encoder, Capture(folder + "/demo.mp4"), [] {
        signal(SIGHUP, SIG_IGN);  // as nohup does
        signal(SIGINT, SIG_IGN);  // as a script's `cmd &` does
    });
    ASSERT_TRUE(WaitFor([&] { return fs::exists(encoder + "/fed"); }, 30)) << run.Said();
    kill(run.pid, SIGHUP);
    kill(run.pid, SIGINT);
    ASSERT_TRUE(run.Wait(30));
    EXPECT_EQ(run.status, 0) << run.Said();
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"demo.mp4"});
}

TEST(CaptureEndings, AnEncoderKilledWhileFinishingFailsEvenWithSigchldIgnored)
{
    const std::string encoder = FakeEncoder("killed", "kill -9 $$");
    const std::string folder = TemporaryFolder("killed");
    Launched run = Launch(encoder, Capture(folder + "/demo.mp4"), [] { signal(SIGCHLD, SIG_IGN); });
    ASSERT_TRUE(run.Wait(30));
    EXPECT_EQ(run.status, 1) << run.Said();
    EXPECT_NE(run.Said().find("was killed by signal 9"), std::string::npos) << run.Said();
    EXPECT_TRUE(FilesIn(folder).empty());
}

TEST(CaptureEndings, AnEncoderThatLogsAnErrorButExitsZeroHasFailed)
{
    // What ffmpeg without -xerror does when the disk fills as it writes the file's ending.
    const std::string encoder = FakeEncoder("lies", "echo 'Error writing trailer: No space left on device' >&2");
    const std::string folder = TemporaryFolder("lies");
    Launched run = Launch(encoder, Capture(folder + "/demo.mp4"));
    ASSERT_TRUE(run.Wait(30));
    EXPECT_EQ(run.status, 1) << run.Said();
    EXPECT_NE(run.Said().find("reported an error (Error writing trailer: No space left on device)"), std::string::npos)
        << run.Said();
    EXPECT_TRUE(FilesIn(folder).empty());
}

// The bytes of an mp4 before its index ('moov'), which ffmpeg writes last.
size_t BytesBeforeIndex(const Bytes& mp4)
{
    size_t total = 0;
    for (size_t at = 0; at + 8 <= mp4.size();) {
        const size_t size = size_t(mp4[at]) << 24 | size_t(mp4[at + 1]) << 16 | size_t(mp4[at + 2]) << 8 | mp4[at + 3];
        if (size < 8) break;
        if (std::string(mp4.begin() + long(at) + 4, mp4.begin() + long(at) + 8) != "moov") total += size;
        at += size;
    }
    return total;
}

TEST(CaptureEndings, ARealEncoderOnADiskThatFillsAtTheEndingFailsAndLeavesNothing)
{
    // 600 frames: an index of several pages, so a disk can have room for the frames but not for it.
    const std::string capture = "--quiet --size 160x120 --fps 60 --end 10000 --seed 1 --capture ";
    const std::string probe = TemporaryFolder("full-video-probe");
    std::string output;
    ASSERT_EQ(RunProgram(capture + probe + "/demo.mp4", &output), 0) << output;
    const Bytes whole = ReadFileBytes(probe + "/demo.mp4");
    constexpr size_t kPage = 4096, kDiskPages = 256;
    const size_t roomPages = (BytesBeforeIndex(whole) + kPage - 1) / kPage;
    if (roomPages * kPage >= whole.size()) GTEST_SKIP() << "the index fits in the last page of the frames";

    const std::string folder = TemporaryFolder("full-video");
    if (RunCommand("mount -t tmpfs -o size=" + std::to_string(kDiskPages * kPage) + " tmpfs " + folder) != 0)
        GTEST_SKIP() << "cannot mount a tmpfs (needs root)";
    const std::shared_ptr<void> unmount(nullptr, [&](void*) { RunCommand("umount " + folder); });
    SaveFile(folder + "/filler", Bytes((kDiskPages - roomPages) * kPage, 0));
    EXPECT_EQ(RunProgram(capture + folder + "/demo.mp4", &output), 1) << output;
    EXPECT_NE(output.find("Error writing trailer"), std::string::npos) << output;
    EXPECT_NE(output.find(folder + "/demo.mp4 was not written"), std::string::npos) << output;
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"filler"});
}

TEST(CaptureEndings, ClosedStandardStreamsGiveTheSameFrames)
{
    const std::string encoder = FakeEncoder("raw", "");
    const std::string folder = TemporaryFolder("closed-streams");
    Launched normal = Launch(encoder, {"--size", "64x48", "--fps", "30", "--end", "300", "--seed", "3", "--capture",
                                       folder + "/normal.mp4"});
    ASSERT_TRUE(normal.Wait(30));
    ASSERT_EQ(normal.status, 0) << normal.Said();
    // Progress lines and the final message would go wherever descriptor 2 ends up.
    Launched closed = Launch(encoder, {"--size", "64x48", "--fps", "30", "--end", "300", "--seed", "3", "--capture",
                                       folder + "/closed.mp4"},
                             [] { close(0), close(1), close(2); });
    ASSERT_TRUE(closed.Wait(30));
    ASSERT_EQ(closed.status, 0);
    // The stand-in saves the raw frames it was fed: 10 frames of 64x48 RGB.
    const Bytes expected = ReadFileBytes(folder + "/normal.mp4"), got = ReadFileBytes(folder + "/closed.mp4");
    ASSERT_EQ(expected.size(), 10u * 64 * 48 * 3);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t frame = 0; frame < 10; ++frame)
        EXPECT_TRUE(std::equal(got.begin() + frame * 64 * 48 * 3, got.begin() + (frame + 1) * 64 * 48 * 3,
                               expected.begin() + frame * 64 * 48 * 3))
            << "frame " << frame << " differs";
}

TEST(CaptureEndings, NamesFfmpegWouldMisreadAndLongNamesAreWrittenAsGiven)
{
    const std::string folder = TemporaryFolder("names");
    for (const std::string name : {"file:clip.mp4", "take-12:30.mp4", "-x.mp4"}) {
        std::string output;
        EXPECT_EQ(RunCommand("cd " + folder + " && " + kProgram + " --quiet --size 32x24 --fps 10 --end 300 --capture='" +
                                 name + "'",
                             &output),
                  0)
            << name << "\n" << output;
        std::string probe;
        RunCommand("ffprobe -v error -count_frames -show_entries stream=nb_read_frames -of default=nw=1 'file:" +
                       folder + "/" + name + "'",
                   &probe);
        EXPECT_NE(probe.find("nb_read_frames=4"), std::string::npos) << name << ": " << probe;
    }
    EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"-x.mp4", "file:clip.mp4", "take-12:30.mp4"}));

    // 250 bytes is within the usual 255 a name; the temporary name must not push it over.
    const std::string encoder = FakeEncoder("long", "");
    const std::string longName = std::string(246, 'l') + ".mp4";
    Launched run = Launch(encoder, Capture(folder + "/" + longName, "100"));
    ASSERT_TRUE(run.Wait(30));
    EXPECT_EQ(run.status, 0) << run.Said();
    EXPECT_TRUE(fs::exists(folder + "/" + longName));
}

TEST(CaptureEndings, AnInterruptedPngCaptureSaysWhichCompleteFramesRemain)
{
    const std::string folder = TemporaryFolder("png-interrupted");
    Launched run = Launch("/nonexistent", Capture(folder + "/frames", "20000"));
    ASSERT_TRUE(WaitFor([&] { return fs::exists(folder + "/frames/frame-000003.png"); }, 30)) << run.Said();
    kill(run.pid, SIGINT);
    ASSERT_TRUE(run.Wait(10));
    EXPECT_EQ(run.status, 128 + SIGINT);
    const std::vector<std::string> frames = FilesIn(folder + "/frames");
    ASSERT_GE(frames.size(), 4u);
    EXPECT_NE(run.Said().find(std::to_string(frames.size()) + " complete frames left in " + folder +
                              "/frames (frame-000000.png to " + frames.back() + ")"),
              std::string::npos)
        << run.Said();
    for (const std::string& name : frames) EXPECT_EQ(ReadPng(folder + "/frames/" + name).width, 320) << name;
}

TEST(CaptureEndings, APngCaptureCarriesOnWhenItsStderrPipeCloses)
{
    const std::string folder = TemporaryFolder("png-pipe");
    // The reader is gone before the first progress line; the program must not die of SIGPIPE.
    std::string output;
    EXPECT_EQ(RunCommand("bash -c 'set -o pipefail; " + kProgram + " --size 32x24 --fps 10 --end 1000 --capture " +
                             folder + "/frames 2>&1 | true'",
                         &output),
              0)
        << output;
    EXPECT_EQ(FilesIn(folder + "/frames").size(), 11u + 1);  // and the soundtrack
}


// Refusals come before anything is rendered: one line, and nothing new in the folder.
void ExpectRefusedAtOnce(const std::string& arguments, int status, const std::string& said, const std::string& folder)
{
    const std::vector<std::string> before = FilesIn(folder);
    std::string output;
    EXPECT_EQ(RunProgram(arguments, &output), status) << arguments << "\n" << output;
    EXPECT_NE(output.find(said), std::string::npos) << arguments << "\n" << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    EXPECT_EQ(FilesIn(folder), before) << arguments;
}

TEST(CaptureRefusals, NamesAndSpansThatCannotMakeACaptureAreRefusedBeforeRendering)
{
    const std::string folder = TemporaryFolder("refusals");
    const std::string quick = "--size 32x24 --fps 10 --end 300 --capture " + folder + "/";
    for (const std::string name : {"out.avi", "out.gif", "frames.v2"})
        ExpectRefusedAtOnce(quick + name, 2, "use .mp4, .mkv, .mov or .webm", folder);
    ExpectRefusedAtOnce("--size 32x24 --fps 1 --start 500 --end 600 --capture " + folder + "/empty.mp4", 2,
                        "no frame falls between --start 500 and 600 ms at --fps 1", folder);
    fs::create_directories(folder + "/folder.mp4");
    ExpectRefusedAtOnce(quick + "folder.mp4", 1, "there is a folder of that name", folder);

    // A folder name is one without an extension, one ending in '/', or an existing folder.
    fs::create_directories(folder + "/existing.d");
    for (const std::string name : {"frames.v2/", ".hidden", "existing.d"}) {
        std::string output;
        EXPECT_EQ(RunProgram(quick + name, &output), 0) << name << "\n" << output;
        EXPECT_EQ(ReadPng(folder + "/" + name + "/frame-000003.png").width, 32) << name;
    }
}

TEST(CaptureRefusals, EarlierWorkIsReplacedOnlyWithOverwrite)
{
    const std::string folder = TemporaryFolder("overwrite");
    const std::string video = folder + "/demo.mp4";
    SaveFile(video, TextBytes("earlier work"));
    const std::string quick = "--quiet --size 32x24 --fps 10 --end 300 ";
    ExpectRefusedAtOnce(quick + "--capture " + video, 1, "the file exists; add --overwrite", folder);
    EXPECT_EQ(ReadFileBytes(video), TextBytes("earlier work"));
    std::string output;
    ASSERT_EQ(RunProgram(quick + "--overwrite --capture " + video, &output), 0) << output;
    EXPECT_GT(fs::file_size(video), 100u);

    // Frames of an earlier capture are never mixed with new ones.
    ASSERT_EQ(RunProgram(quick + "--end 900 --capture " + folder + "/frames", &output), 0) << output;
    SaveFile(folder + "/frames/notes.txt", TextBytes("mine"));
    ExpectRefusedAtOnce(quick + "--capture " + folder + "/frames", 1, "the folder already holds frames", folder + "/frames");
    ASSERT_EQ(RunProgram(quick + "--overwrite --capture " + folder + "/frames", &output), 0) << output;
    EXPECT_EQ(FilesIn(folder + "/frames"),
              (std::vector<std::string>{"frame-000000.png", "frame-000001.png", "frame-000002.png", "frame-000003.png",
                                        "notes.txt", "soundtrack.wav"}));
}

TEST(CaptureRefusals, PlayShMovesAnEarlierRenderAsideOnlyForAFinishedOneAndSaysWhere)
{
    // play.sh in a copy of the tree whose build step does nothing and whose program records what it
    // was asked, refuses a run with --refuse, and otherwise writes its video where it was told.
    const std::string root = TemporaryFolder("play-sh");
    fs::create_directories(root + "/scripts");
    fs::create_directories(root + "/build");
    fs::copy_file(std::string(TARNELVOIS_SOURCE_DIR) + "/play.sh", root + "/play.sh");
    std::ofstream(root + "/scripts/build.sh") << "#!/bin/sh\n";
    std::ofstream(root + "/build/tarnelvois")
        << "#!/bin/sh\necho \"ran $*\"\ncase \" $* \" in *\" --version \"*) exit 0 ;; *\" --refuse \"*) exit 1 ;; esac\n"
           "while [ $# -gt 0 ]; do [ \"$1\" = --capture ] && echo second >\"$2\"; shift; done\n";
    for (const char* script : {"/scripts/build.sh", "/build/tarnelvois"}) fs::permissions(root + script, fs::perms::owner_all);
    const std::string play = "env -u DISPLAY -u WAYLAND_DISPLAY " + root + "/play.sh";

    std::string output;
    SaveFile(root + "/tarnelvois.mp4", TextBytes("first"));
    ASSERT_EQ(RunCommand(play + " --help", &output), 0) << output;
    EXPECT_EQ(ReadFileBytes(root + "/tarnelvois.mp4"), TextBytes("first")) << "nothing is rendered for --help";
    EXPECT_EQ(RunCommand(play + " --refuse", &output), 1) << output;
    EXPECT_EQ(ReadFileBytes(root + "/tarnelvois.mp4"), TextBytes("first")) << "a refused run keeps the earlier video";
    EXPECT_FALSE(fs::exists(root + "/tarnelvois.previous.mp4"));
    ASSERT_EQ(RunCommand(play + " --seed 1", &output), 0) << output;
    EXPECT_NE(output.find("tarnelvois.mp4 is now " + root + "/tarnelvois.previous.mp4"), std::string::npos) << output;
    EXPECT_NE(output.find("--capture " + root + "/tarnelvois.rendering.mp4 --seed 1"), std::string::npos) << output;
    EXPECT_EQ(ReadFileBytes(root + "/tarnelvois.previous.mp4"), TextBytes("first"));
    EXPECT_EQ(ReadFileBytes(root + "/tarnelvois.mp4"), TextBytes("second\n"));
}

}  // namespace
