// The run behind DEMOGL_AppRun: options, archive, timeline and score checked before any window
// opens; then the capture's sink, the window and its GL context, the effects' loading, and the
// player. The window lives until DEMOGL_AppEnd, after the effects have let go of their textures.
#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "app/demo_inputs.h"
#include "app/options.h"
#include "app/run_settings.h"
#include "app/video_summary.h"
#include "app/version_text.h"
#include "capture/capture_sink.h"
#include "capture/capture_target.h"
#include "capture/video_command.h"
#include "host/gl_functions.h"
#include "host/host_state.h"
#include "host/random.h"
#include "platform/command_line.h"
#include "platform/display.h"
#include "platform/interrupt.h"
#include "platform/standard_streams.h"
#include "player/player.h"

namespace {

// The checks of the command line that need neither the archive nor a window. 0 when it can go on.
int CheckOptions(const HostState& host, const SStartupDat& startup, const Options& options)
{
    std::string error;
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
    if (!options.encodingOption.empty() && (options.capturePath.empty() || captureKind != CaptureKind::Video)) {
        HostError(options.encodingOption + " sets a video's quality; add --capture FILE.mp4");
        return 2;
    }
    if (!host.useArchive) {
        HostError("this player reads its data from an archive only; the program turned the archive off");
        return 1;
    }
    if (!startup.timelineFromArchive && options.timelinePath.empty()) {
        HostError("no timeline: this program keeps none in its archive; give one with --timeline FILE");
        return 2;
    }
    return 0;
}

// The checks of the span and the window's mode. 0 when it can go on.
int CheckSpanAndMode(const Options& options, const ContextSettings& settings, const Timeline& timeline,
                     std::int32_t lastTime)
{
    if (options.startMs > lastTime) {
        HostError("--start " + std::to_string(options.startMs) + ": the demo ends at " +
                  std::to_string(timeline.endTime) + " ms");
        return 2;
    }
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
    return 0;
}

class PlayerRunner : public DemoRunner {
public:
    int Run(HostState& host, HINSTANCE instance, const SStartupDat& startup, const char* title) override;
    void End(HostState&) override
    {
        context_.reset();
        soundtrack_.reset();
        SDL_Quit();
    }

private:
    // Loads every effect, with the loading bar in a window.
    void InitEffects(HostState& host, const SStartupDat& startup);

    std::unique_ptr<GlContext> context_;
    std::unique_ptr<audio::Soundtrack> soundtrack_;
};

void PlayerRunner::InitEffects(HostState& host, const SStartupDat& startup)
{
    const int count = int(host.effects.size());
    for (int i = 0; i < count; ++i) {
        if (startup.showLoadingBar) context_->ShowProgress(float(i) / count, startup.loadingBarPercent);
        host.effects[i].effect->Init(context_->RenderWidth(), context_->RenderHeight());
    }
    if (startup.showLoadingBar) context_->ShowProgress(1.0f, startup.loadingBarPercent);
}

int PlayerRunner::Run(HostState& host, HINSTANCE instance, const SStartupDat& startup, const char* title)
{
    OpenStandardStreams();
    AttachParentConsole();
    const CommandLine commandLine = CommandLineOf(instance);
    Options options;
    std::string error;
    if (!ParseOptions(commandLine.arguments, options, error)) {
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
    // What the start-up record asks for, where the command line says nothing else.
    if (startup.disableExtensions) options.noExtensions = true;
    if (startup.quiet) options.quiet = true;
    if (options.startMs == 0 && startup.startTimeMs > 0) options.startMs = startup.startTimeMs;
    if (const int status = CheckOptions(host, startup, options)) return status;

    // Everything that can be checked without a window is checked first.
    DemoInputs inputs;
    if (const int status = ReadDemoInputs(host, options, commandLine.executable, inputs)) return status;
    soundtrack_ = std::move(inputs.soundtrack);
    std::int32_t lastTime = inputs.timeline.endTime - 1;
    if (options.endMs) lastTime = std::min(lastTime, *options.endMs);
    const ContextSettings settings = WindowSettings(options, startup, DisplayAvailable());
    if (const int status = CheckSpanAndMode(options, settings, inputs.timeline, lastTime)) return status;

    CatchInterrupts();
    std::unique_ptr<FrameSink> sink;
    if (!options.capturePath.empty()) {
        const CaptureRequest request{
            options.capturePath, options.overwrite,
            FitPicture(settings.renderWidth, settings.renderHeight, options.frameWidth, options.frameHeight),
            options.fps, options.encoding};
        const CaptureSound sound =
            SoundOfFrames(soundtrack_.get(), options.startMs, lastTime, options.fps, options.passes);
        sink = MakeCaptureSink(request, sound, error);
        if (!sink) {
            HostError(error);
            return 1;
        }
    }

    context_ = std::make_unique<GlContext>();
    if (!context_->Create(settings, error)) {
        HostError(error);
        return 1;
    }
    host.glExtensions = ReadGlExtensions();
    host.extensionsDisabled = options.noExtensions;
    host.textures = std::make_unique<TextureStore>(host.archive.get(), HostWarning);
    InitEffects(host, startup);

    // Rendering unseen with no output is allowed (it checks a build) but is usually a forgotten --capture.
    if (options.headless && options.capturePath.empty() && !options.benchmark)
        HostWarning("--headless without --capture or --benchmark writes nothing; the demo is only rendered unseen");
    const PlaySettings playSettings = PlaySettingsOf(options);
    Player player(host, *context_, playSettings, startup, inputs.timeline, soundtrack_);
    const int status = player.Run(sink.get(), lastTime);
    if (status == 0 && sink && !options.quiet) {
        std::error_code ignored;
        const std::filesystem::path where = std::filesystem::absolute(options.capturePath, ignored);
        std::string summary;
        std::error_code sizeUnknown;
        const std::uintmax_t bytes = std::filesystem::file_size(where, sizeUnknown);
        if (IsVideoPath(options.capturePath) && !sizeUnknown) {
            const std::int64_t frames = (FirstFrameAtOrAfter(lastTime + 1, options.fps) -
                                         FirstFrameAtOrAfter(options.startMs, options.fps)) * options.passes;
            summary = ": " + VideoSummary(bytes, frames, options.fps);
        }
        std::fprintf(stderr, "tarnelvois: written %s%s\n", where.string().c_str(), summary.c_str());
    }
    return status;
}

PlayerRunner runner;
// The program's entry function calls DEMOGL_AppRun; by then the runner is in place.
const bool registered = (Host().runner = &runner, true);

}  // namespace
