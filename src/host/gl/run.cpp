// The run: options, archive and timeline checked before any window opens; then the frame sink,
// the context, the effects' loading, and the player.
#include "host/gl/gl_functions.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/capture_target.h"
#include "host/clock.h"
#include "host/gl/frame_sink.h"
#include "host/gl/host_state.h"
#include "host/gl/player.h"
#include "host/command_line.h"
#include "host/gl/version_text.h"
#include "host/data_folders.h"
#include "host/interrupt.h"
#include "host/options.h"
#include "host/random.h"
#include "host/standard_streams.h"
#include "host/score_loader.h"
#include "host/timeline.h"
#include "host/timeline_params.h"
#include "host/video_command.h"

namespace {

constexpr const char* kTimelineEntry = "timeline.txt";

bool ReadTextFile(const std::string& path, std::string& text, std::string& error)
{
    // A folder, a device or a pipe is not a timeline: reading /dev/zero would never end.
    std::error_code code;
    if (std::filesystem::exists(path, code) && !std::filesystem::is_regular_file(path, code)) {
        error = "--timeline: " + path + " is not a file";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "--timeline: cannot read " + path;
        return false;
    }
    std::ostringstream contents;
    contents << file.rdbuf();
    text = contents.str();
    return true;
}

void PresetSize(int preset, int& width, int& height)
{
    switch (preset) {
    case 0: width = 640, height = 480; break;
    case 2: width = 1280, height = 720; break;
    default: width = 1024, height = 768; break;
    }
}

std::set<std::string> ReadExtensions()
{
    std::set<std::string> names;
    const GLubyte* text = glGetString(GL_EXTENSIONS);
    std::istringstream list(text ? reinterpret_cast<const char*>(text) : "");
    for (std::string name; list >> name;) names.insert(name);
    return names;
}

std::unique_ptr<FrameSink> MakeSink(const Options& options, const ContextSettings& settings, const CaptureSound& sound,
                                    std::string& error)
{
    CaptureKind kind;
    if (!CheckCaptureName(options.capturePath, kind, error) ||
        !CheckCaptureTarget(options.capturePath, kind, options.overwrite, error))
        return nullptr;
    const FrameLayout layout =
        FitPicture(settings.renderWidth, settings.renderHeight, options.frameWidth, options.frameHeight);
    if (kind == CaptureKind::Video) return MakeVideoSink(options.capturePath, layout, options.fps, error, sound);
    if (options.overwrite && !RemoveFrames(options.capturePath, error)) return nullptr;
    std::unique_ptr<FrameSink> folder = MakePngFolderSink(options.capturePath, error, sound);
    return layout.HasBars() ? MakeFramedSink(std::move(folder), layout) : std::move(folder);
}

// The capture's sound: the samples under the frames the run will capture, from the first at or
// after --start to the last at or before the end.
CaptureSound SoundOfCapture(const audio::Soundtrack* soundtrack, const Options& options, std::int32_t lastTime)
{
    // Passes after the first number their frames on from the first pass's: one pass's sound would
    // be shorter than the video, so such a capture goes without.
    if (options.passes > 1) return CaptureSound{};
    const std::int64_t first = FirstFrameAtOrAfter(options.startMs, options.fps);
    const std::int64_t count = FirstFrameAtOrAfter(lastTime + 1, options.fps) - first;
    return CaptureSound{soundtrack, SpanOfFrames(first, count, options.fps)};
}

}  // namespace

int RunDemo(HostState& host, HINSTANCE instance, const SStartupDat& startup, const char* title)
{
    OpenStandardStreams();
    AttachParentConsole();
    const CommandLine commandLine = CommandLineOf(instance);
    const std::vector<std::string>& arguments = commandLine.arguments;
    const char* executable = commandLine.executable.c_str();
    Options options;
    std::string error;
    if (!ParseOptions(arguments, options, error)) {
        HostError(error);
        return 2;
    }
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(VersionText(title).c_str(), stdout);
        return 0;
    }
    if (host.registrationFailed) return 1;
    if (options.seed) DemoSeedRandom(*options.seed);
    if (options.frameWidth > 0 && options.capturePath.empty()) {
        HostError("--frame sets the size of a capture's frames; add --capture DIR or FILE.mp4");
        return 2;
    }
    if (options.benchmark && !options.capturePath.empty()) {
        HostError("--benchmark writes nothing; leave out --capture " + options.capturePath);
        return 2;
    }
    CaptureKind captureKind;
    if (!options.capturePath.empty() && !CheckCaptureName(options.capturePath, captureKind, error)) {
        HostError(error);
        return 2;
    }
    // What the start-up record asks for, where the command line says nothing else.
    if (startup.disableExtensions) options.noExtensions = true;
    if (startup.quiet) options.quiet = true;
    if (options.startMs == 0 && startup.startTimeMs > 0) options.startMs = startup.startTimeMs;
    if (!host.useArchive) {
        HostError("this player reads its data from an archive only; the program turned the archive off");
        return 1;
    }
    if (!startup.timelineFromArchive && options.timelinePath.empty()) {
        HostError("no timeline: this program keeps none in its archive; give one with --timeline FILE");
        return 2;
    }

    // Everything that can be checked without a window is checked first.
    const std::string archivePath = LocateArchive(
        options.dataPath, host.archiveName, DataFolders(RunningProgram(executable), InstalledDataFolder()), error);
    if (archivePath.empty()) {
        HostError(error);
        return 1;
    }
    host.archive = Archive::Open(archivePath, error);
    if (!host.archive) {
        HostError(error);
        return 1;
    }
    std::string timelineText, timelineSource;
    if (!options.timelinePath.empty()) {
        timelineSource = options.timelinePath;
        if (!ReadTextFile(options.timelinePath, timelineText, error)) {
            HostError(error);
            return 1;
        }
    } else {
        timelineSource = archivePath + ":" + kTimelineEntry;
        std::vector<std::uint8_t> bytes;
        if (!host.archive->Read(kTimelineEntry, bytes, error)) {
            HostError(error);
            return 1;
        }
        timelineText.assign(bytes.begin(), bytes.end());
    }
    Timeline timeline;
    std::vector<std::string> names;
    for (const RegisteredEffect& registered : host.effects) names.push_back(registered.name);
    if (!ParseTimeline(timelineText, timelineSource, names, timeline, error)) {
        HostError(error);
        return 1;
    }
    for (const std::string& warning : ParamWarnings(timeline, DeclaredEffectParameters(), timelineSource))
        HostError(warning);
    host.soundtrack.reset();
    if (!options.mute) {
        std::vector<std::string> unplaced;
        const bool scoreRead = LoadScore(*host.archive, timeline, host.soundtrack, error, unplaced);
        for (const std::string& cue : unplaced) HostWarning(cue);
        if (!scoreRead) {
            // The archive's score was made for the archive's timeline; one tried out with
            // --timeline may well lack the moments it names, and is not the score's fault.
            if (options.timelinePath.empty()) {
                HostError(error);
                return 1;
            }
            HostWarning(error + "; the score does not fit --timeline " + options.timelinePath + ", playing silent");
        } else if (!host.soundtrack) {
            HostWarning(archivePath + " has no " + kScoreEntry + "; playing silent");
        }
    }

    std::int32_t lastTime = timeline.endTime - 1;
    if (options.endMs) lastTime = std::min(lastTime, *options.endMs);
    if (options.startMs > lastTime) {
        HostError("--start " + std::to_string(options.startMs) + ": the demo ends at " +
                  std::to_string(timeline.endTime) + " ms");
        return 2;
    }

    ContextSettings settings;
    settings.title = std::string(startup.demoName, strnlen(startup.demoName, sizeof startup.demoName)) + " by " +
                     std::string(startup.groupName, strnlen(startup.groupName, sizeof startup.groupName));
    if (options.width > 0) {
        settings.renderWidth = options.width;
        settings.renderHeight = options.height;
    } else {
        PresetSize(startup.renderSizePreset, settings.renderWidth, settings.renderHeight);
    }
    // A benchmark measures rendering, not a window system's presentation.
    settings.headless = options.headless || options.benchmark || (!options.capturePath.empty() && !DisplayAvailable());
    if (options.loop && (settings.headless || !options.capturePath.empty())) {
        HostError("--loop plays until you quit, in a window; a headless run or a capture takes --passes N");
        return 2;
    }
    if (!settings.headless && !DisplayAvailable()) {
        HostError("no display to open a window on; use --headless with --capture DIR or FILE.mp4");
        return 1;
    }
    // A fixed-step run of a span between two frames would write an empty video and call it done.
    const bool fixedStep = settings.headless || options.benchmark || !options.capturePath.empty();
    if (fixedStep && FixedStepTime(FirstFrameAtOrAfter(options.startMs, options.fps), options.fps) > lastTime) {
        HostError("no frame falls between --start " + std::to_string(options.startMs) + " and " +
                  std::to_string(lastTime) + " ms at --fps " + std::to_string(options.fps) +
                  "; widen the span or raise --fps");
        return 2;
    }
    settings.fullscreen = options.fullscreen || startup.startFullscreen;
    settings.resizable = startup.resizableWindow;
    settings.vsync = startup.enableVsync && !options.noVsync;
    settings.hideCursorInFullscreen = startup.hideCursorInFullscreen;
    settings.keepAspect = startup.keepAspect;

    CatchInterrupts();
    std::unique_ptr<FrameSink> sink;
    if (!options.capturePath.empty()) {
        sink = MakeSink(options, settings, SoundOfCapture(host.soundtrack.get(), options, lastTime), error);
        if (!sink) {
            HostError(error);
            return 1;
        }
    }

    host.context = std::make_unique<GlContext>();
    if (!host.context->Create(settings, error)) {
        HostError(error);
        return 1;
    }
    host.glExtensions = ReadExtensions();
    host.extensionsDisabled = options.noExtensions;
    host.textures = std::make_unique<TextureStore>(host.archive.get(), HostWarning);

    const int count = int(host.effects.size());
    for (int i = 0; i < count; ++i) {
        if (startup.showLoadingBar) host.context->ShowProgress(float(i) / count, startup.loadingBarPercent);
        host.effects[i].effect->Init(settings.renderWidth, settings.renderHeight);
    }
    if (startup.showLoadingBar) host.context->ShowProgress(1.0f, startup.loadingBarPercent);

    // Rendering unseen with no output is allowed (it checks a build) but is usually a forgotten --capture.
    if (options.headless && options.capturePath.empty() && !options.benchmark)
        HostWarning("--headless without --capture or --benchmark writes nothing; the demo is only rendered unseen");
    Player player(host, options, startup, timeline);
    const int status = player.Run(sink.get(), lastTime);
    if (status == 0 && sink && !options.quiet) {
        std::error_code ignored;
        const std::filesystem::path where = std::filesystem::absolute(options.capturePath, ignored);
        std::fprintf(stderr, "tarnelvois: written %s\n", where.c_str());
    }
    return status;
}
