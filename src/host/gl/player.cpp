// The run: options, archive and timeline checked before any window opens; then the context, the
// effects' loading, and the frame loop that starts, draws and stops effects as the timeline says.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "host/clock.h"
#include "host/gl/frame_sink.h"
#include "host/gl/host_state.h"
#include "host/options.h"
#include "host/random.h"
#include "host/timeline.h"

namespace {

constexpr const char* kTimelineEntry = "timeline.txt";
constexpr std::int32_t kSkipMs = 10000;

struct RunningEffect {
    RegisteredEffect* registered;
    int layer;
    std::uint64_t order;  // start order breaks ties between equal layers
};

bool ReadTextFile(const std::string& path, std::string& text, std::string& error)
{
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
    std::istringstream list(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS) ? glGetString(GL_EXTENSIONS)
                                                                                       : reinterpret_cast<const GLubyte*>("")));
    for (std::string name; list >> name;) names.insert(name);
    return names;
}

class Player {
public:
    Player(HostState& host, const Options& options, const SStartupDat& startup, const Timeline& timeline)
        : host_(host), options_(options), startup_(startup), timeline_(timeline)
    {
    }

    // Returns the exit status.
    int Run(FrameSink* sink, std::int32_t lastTime);

private:
    void ApplyEvents(std::int32_t time);
    void StartEffect(const TimelineEvent& event);
    void StopEffect(const std::string& name);
    void RenderFrame(std::int32_t time, bool preroll);
    void EndRunningEffects();
    // Returns false when the user asked to quit.
    bool HandleEvents(std::int32_t time);
    void SaveScreenshot(std::int32_t time);
    RegisteredEffect* Find(const std::string& name);

    HostState& host_;
    const Options& options_;
    const SStartupDat& startup_;
    const Timeline& timeline_;
    size_t nextEvent_ = 0;
    std::vector<RunningEffect> running_;
    std::uint64_t startCount_ = 0;
    PlaybackClock clock_;
    bool interrupted_ = false;
    std::vector<std::uint8_t> pixels_;
};

RegisteredEffect* Player::Find(const std::string& name)
{
    for (RegisteredEffect& registered : host_.effects)
        if (registered.name == name) return &registered;
    return nullptr;
}

void Player::StartEffect(const TimelineEvent& event)
{
    RegisteredEffect* registered = Find(event.effect);
    if (!registered) return;
    registered->effect->Prepare();
    running_.push_back(RunningEffect{registered, event.layer, startCount_++});
    std::stable_sort(running_.begin(), running_.end(), [](const RunningEffect& a, const RunningEffect& b) {
        return a.layer != b.layer ? a.layer < b.layer : a.order < b.order;
    });
}

void Player::StopEffect(const std::string& name)
{
    auto found = std::find_if(running_.begin(), running_.end(),
                              [&](const RunningEffect& running) { return running.registered->name == name; });
    if (found == running_.end()) return;
    CEffect* effect = found->registered->effect;
    running_.erase(found);
    effect->End();
}

void Player::ApplyEvents(std::int32_t time)
{
    while (nextEvent_ < timeline_.events.size() && timeline_.events[nextEvent_].time <= time) {
        const TimelineEvent& event = timeline_.events[nextEvent_++];
        if (host_.showDebugInfo)
            std::fprintf(stderr, "tarnelvois: %d ms: line %d\n", int(event.time), event.line);
        switch (event.kind) {
        case TimelineEvent::Kind::Start: StartEffect(event); break;
        case TimelineEvent::Kind::Stop: StopEffect(event.effect); break;
        case TimelineEvent::Kind::Param:
            if (RegisteredEffect* registered = Find(event.effect)) {
                std::vector<char> text(event.text.begin(), event.text.end());
                text.push_back('\0');
                registered->effect->ReceiveParam(text.data());
            }
            break;
        case TimelineEvent::Kind::End: break;
        }
    }
}

void Player::EndRunningEffects()
{
    while (!running_.empty()) StopEffect(running_.back().registered->name);
}

void Player::RenderFrame(std::int32_t time, bool preroll)
{
    GlContext& context = *host_.context;
    const int width = context.RenderWidth(), height = context.RenderHeight();
    context.BindRenderTarget();
    // Frames before --start only advance the effects' state; a one-pixel viewport keeps them cheap.
    glViewport(0, 0, preroll ? 1 : width, preroll ? 1 : height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double nearPlane = 0.1, farPlane = 100.0;
    const double top = nearPlane * std::tan(45.0 * M_PI / 360.0);
    const double right = top * double(width) / double(height);
    glFrustum(-right, right, -top, top, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (const RunningEffect& running : running_) running.registered->effect->RenderFrame(time);
}

void Player::SaveScreenshot(std::int32_t time)
{
    GlContext& context = *host_.context;
    context.ReadPixels(pixels_);
    char name[64];
    std::snprintf(name, sizeof name, "tarnelvois-%09dms.png", int(time));
    std::string error;
    if (WritePng(name, pixels_, context.RenderWidth(), context.RenderHeight(), error))
        std::fprintf(stderr, "tarnelvois: saved %s\n", name);
    else
        HostError(error);
}

bool Player::HandleEvents(std::int32_t time)
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            interrupted_ = true;
            return false;
        }
        if (event.type != SDL_KEYDOWN || !startup_.enableKeys) continue;
        const SDL_Keycode key = event.key.keysym.sym;
        const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
        const std::uint64_t now = SDL_GetTicks64();
        if ((key == SDLK_ESCAPE || key == SDLK_q) && startup_.quitOnEscape) {
            interrupted_ = true;
            return false;
        } else if (key == SDLK_SPACE && startup_.pauseOnSpace) {
            clock_.SetPaused(!clock_.Paused(), now);
        } else if (key == SDLK_f || (key == SDLK_RETURN && alt)) {
            host_.context->SetFullscreen(!host_.context->Fullscreen());
        } else if (key == SDLK_F12) {
            SaveScreenshot(time);
        } else if (key == SDLK_RIGHT) {
            clock_.Skip(kSkipMs, now);
        }
    }
    return true;
}

int Player::Run(FrameSink* sink, std::int32_t lastTime)
{
    GlContext& context = *host_.context;
    const bool fixedStep = context.Headless() || sink || options_.benchmark;
    const int fps = options_.fps;

    // Frames before the start are drawn at the fixed step in every mode, so the effects reach the
    // same state as in a straight run.
    std::int64_t frame = 0;
    for (;; ++frame) {
        const std::int32_t time = FixedStepTime(frame, fps);
        if (time >= options_.startMs || time > lastTime) break;
        ApplyEvents(time);
        RenderFrame(time, true);
        if ((frame & 63) == 0 && !HandleEvents(time)) break;
    }

    std::string error;
    int status = 0;
    if (fixedStep) {
        for (; !interrupted_; ++frame) {
            const std::int32_t time = FixedStepTime(frame, fps);
            if (time > lastTime) break;
            ApplyEvents(time);
            RenderFrame(time, false);
            if (sink) {
                context.ReadPixels(pixels_);
                if (!sink->Write(frame, pixels_, context.RenderWidth(), context.RenderHeight(), error)) {
                    HostError(error);
                    status = 1;
                    break;
                }
            }
            context.Present();
            HandleEvents(time);
        }
    } else if (!interrupted_) {
        clock_.Start(SDL_GetTicks64(), options_.startMs);
        std::int32_t time = options_.startMs;
        bool drawn = false;
        while (HandleEvents(time)) {
            const std::int32_t now = clock_.Time(SDL_GetTicks64());
            if (now > lastTime) break;
            if (clock_.Paused() && drawn) {
                context.Present();
                SDL_Delay(10);
                continue;
            }
            time = now;
            ApplyEvents(time);
            RenderFrame(time, false);
            context.Present();
            drawn = true;
        }
    }
    EndRunningEffects();

    if (sink) {
        if (status != 0 || interrupted_) {
            sink->Abandon();
        } else if (!sink->Finish(error)) {
            HostError(error);
            status = 1;
        }
    }
    if (status == 0 && interrupted_ && sink) {
        HostError("capture interrupted; nothing written under the final name");
        status = 130;
    }
    return status;
}

}  // namespace

int RunDemo(HostState& host, const PlatformInstance* instance, const SStartupDat& startup, const char* title)
{
    std::vector<std::string> arguments;
    const char* executable = "";
    if (instance) {
        executable = instance->executablePath ? instance->executablePath : "";
        for (int i = 1; i < instance->argumentCount; ++i) arguments.push_back(instance->arguments[i]);
    }
    Options options;
    std::string error;
    if (!ParseOptions(arguments, options, error)) {
        HostError(error);
        std::fprintf(stderr, "Try 'tarnelvois --help'.\n");
        return 2;
    }
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("%s 1.0.0\n", title);
        return 0;
    }
    if (host.registrationFailed) return 1;
    if (options.seed) DemoSeedRandom(*options.seed);

    // Everything that can be checked without a window is checked first.
    const std::string archivePath = LocateArchive(options.dataPath, host.archiveName, executable, error);
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
    if (!ParseTimeline(timelineText, timelineSource, timeline, error) ||
        !CheckTimelineNames(timeline, names, timelineSource, error)) {
        HostError(error);
        return 1;
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
    const bool recording = !options.capturePath.empty() || options.benchmark;
    settings.headless = options.headless || (recording && !DisplayAvailable());
    if (!settings.headless && !DisplayAvailable()) {
        HostError("no display to open a window on; use --headless with --capture DIR or FILE.mp4");
        return 1;
    }
    settings.fullscreen = options.fullscreen || startup.startFullscreen;
    settings.resizable = startup.resizableWindow;
    settings.vsync = startup.enableVsync && !options.noVsync;
    settings.hideCursorInFullscreen = startup.hideCursorInFullscreen;

    std::unique_ptr<FrameSink> sink;
    if (!options.capturePath.empty()) {
        sink = MakePngFolderSink(options.capturePath, error);
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

    Player player(host, options, startup, timeline);
    return player.Run(sink.get(), lastTime);
}
