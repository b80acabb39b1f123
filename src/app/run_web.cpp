// The run behind DEMOGL_AppRun in a browser page: the page's address instead of a command line,
// the archive the page fetched, the canvas instead of a window, and either one still picture or
// the piece played with the page's keys and sound. The window's player, its captures and its
// options stay on the desktop.
#include <memory>
#include <sstream>
#include <vector>

#include "app/demo_inputs.h"
#include "host/clock.h"
#include "host/gl_functions.h"
#include "host/host_state.h"
#include "host/random.h"
#include "platform/web/page.h"
#include "app/preset_size.h"
#include "platform/web/page_query.h"
#include "platform/web/page_sound.h"
#include "player/canvas_target.h"
#include "player/page_player.h"
#include "player/replay.h"
#include "player/show.h"

namespace {

// The extensions the effects may ask about: WebGL's, and what the emulation gives on top of them
// besides those it names (it adds textures with GL_ADD).
std::set<std::string> ReadExtensions()
{
    std::set<std::string> names = ReadGlExtensions();
    names.insert("GL_ARB_texture_env_add");
    return names;
}

class PageRunner : public DemoRunner {
public:
    int Run(HostState& host, HINSTANCE instance, const SStartupDat& startup, const char* title) override;
    void End(HostState&) override {}

private:
    int Fail(const std::string& message, int status)
    {
        if (!message.empty()) HostError(message);
        page::Failed(message);
        return status;
    }
    // Draws the frame a straight run shows at the request's moment, the effects caught up frame by
    // frame at its step, as a capture started there would.
    int DrawStill(HostState& host, const SStartupDat& startup, const PageRequest& request);

    // Renders the span the request asks for with the page's synthesizer and hands it to the page.
    int HandOverSound(const PageRequest& request);

    // What lives on after Run hands the page its frame loop.
    DemoInputs inputs_;
    SStartupDat startup_{};
    std::unique_ptr<CanvasTarget> canvas_;
    std::unique_ptr<PagePlayer> player_;
};

int PageRunner::DrawStill(HostState& host, const SStartupDat& startup, const PageRequest& request)
{
    const std::int32_t lastTime = inputs_.timeline.endTime - 1;
    if (request.timeMs > lastTime)
        return Fail("t=" + std::to_string(request.timeMs) + ": the piece ends at " +
                    std::to_string(inputs_.timeline.endTime) + " ms", 2);
    Show show(host, *canvas_, inputs_.timeline);
    Replay replay(show, *canvas_, startup, [] { return true; });
    const std::int64_t frame = FirstFrameAtOrAfter(request.timeMs, request.fps);
    const std::int32_t time = FixedStepTime(frame, request.fps);
    if (time > lastTime)
        return Fail("t=" + std::to_string(request.timeMs) + ": no frame at fps=" + std::to_string(request.fps) +
                    " falls between it and the end", 2);
    replay.CatchUp(0, frame, request.fps);
    show.ApplyEvents(time);
    show.RenderFrame(time, false);
    glFinish();
    show.EndRunningEffects();
    page::StillDone();
    return 0;
}

int PageRunner::HandOverSound(const PageRequest& request)
{
    if (!inputs_.soundtrack) return Fail("the archive has no score to play", 1);
    const std::int64_t framesPerMs = audio::kSampleRate / 1000;
    const std::int64_t count = std::int64_t(request.soundMs) * framesPerMs;
    std::vector<std::int16_t> pcm(size_t(2 * count));
    audio::SoundtrackRenderer renderer(*inputs_.soundtrack);
    renderer.Render(std::int64_t(request.timeMs) * framesPerMs, count, pcm.data());
    std::vector<float> samples(pcm.size());
    for (size_t i = 0; i < pcm.size(); ++i) samples[i] = pcm[i] / 32768.0f;
    page::HandOverSound(samples.data(), int(count));
    page::StillDone();
    return 0;
}

int PageRunner::Run(HostState& host, HINSTANCE instance, const SStartupDat& startup, const char*)
{
    startup_ = startup;
    PageRequest request;
    std::string error;
    if (!ParsePageQuery(page::Query(instance->argumentCount, instance->arguments), request, error))
        return Fail(error, 2);
    if (host.registrationFailed) return Fail("", 1);
    if (!host.useArchive) return Fail("this player reads its data from an archive only; the program turned it off", 1);
    if (request.seed) DemoSeedRandom(*request.seed);

    Options options;
    options.dataPath = host.archiveName;  // the page put the archive it fetched there
    options.mute = request.still || request.mute;
    if (const int status = ReadDemoInputs(host, options, "", inputs_)) return Fail("", status);
    if (request.soundMs > 0) return HandOverSound(request);

    int width = request.width, height = request.height;
    if (width == 0) PresetSize(startup.renderSizePreset, width, height);
    canvas_ = std::make_unique<CanvasTarget>();
    if (!canvas_->Create(width, height, request.still, error)) return Fail(error, 1);
    host.glExtensions = ReadExtensions();
    host.textures = std::make_unique<TextureStore>(host.archive.get(), HostWarning);
    const int count = int(host.effects.size());
    for (int i = 0; i < count; ++i) {
        canvas_->ShowProgress(float(i) / count, startup.loadingBarPercent);
        host.effects[i].effect->Init(width, height);
    }
    canvas_->ShowProgress(1.0f, startup.loadingBarPercent);

    if (request.still) return DrawStill(host, startup_, request);

    player_ = std::make_unique<PagePlayer>(host, *canvas_, startup_, inputs_.timeline, inputs_.timeline.endTime - 1,
                                           inputs_.soundtrack.get());
    player_->Start(request.timeMs, page::NowMs());
    PagePlayer* player = player_.get();
    page::Run(page::Callbacks{[player](std::uint64_t nowMs) { player->Frame(nowMs); },
                              [player](page::Key key, std::uint64_t nowMs) { player->Key(key, nowMs); },
                              [player](bool hidden, std::uint64_t nowMs) { player->Visibility(hidden, nowMs); }});
    return 0;
}

PageRunner runner;
// The program's entry function calls DEMOGL_AppRun; by then the runner is in place.
const bool registered = (Host().runner = &runner, true);

}  // namespace
