// The player's replays. Effects keep state from frame to frame, so the picture at a moment is the
// end of a run from the beginning: a seek back starts the piece afresh and draws, unseen, the
// frames up to the target; a seek ahead draws the frames in between. In a window those frames
// are spaced so any seek stays short; at a fixed step they are the run's own frames, so a
// capture gives the same pictures as a straight run.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "host/gl/player.h"
#include "host/random.h"
#include "host/score_loader.h"
#include "host/timeline_file.h"
#include "host/timeline_params.h"

namespace {

// A window's replay draws at most this many frames, whatever the distance: about a second here.
constexpr std::int64_t kWindowCatchUpFrames = 1000;
constexpr int kWindowCatchUpMaxRate = 60;
// A replay shorter than this shows nothing; a longer one shows the loading bar.
constexpr double kQuietReplaySeconds = 0.3;
constexpr double kBarEverySeconds = 0.05;
// Unfinished frames hold their memory in the software renderer: hundreds of megabytes over a
// long replay if nothing waits for them now and then.
constexpr std::int64_t kFramesInFlight = 8;
constexpr std::int64_t kEventsEvery = 64;

double Seconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Processor time of the whole process (the renderer's threads too): on a busy machine it says
// more about a replay's cost than the wall clock.
double ProcessorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}

}  // namespace

void Player::FreshStart()
{
    EndRunningEffects();
    // As when the run began: every effect initialised (each Init loads its textures anew, so the
    // old ones are let go first), the timeline from its first line, the generator on its seed.
    if (host_.textures) host_.textures->ReleaseAll();
    for (RegisteredEffect& registered : host_.effects) {
        registered.effect->Init(host_.context->RenderWidth(), host_.context->RenderHeight());
        registered.needsInit = false;
    }
    nextEvent_ = 0;
    startCount_ = 0;
    renderedTime_ = -1;
    DemoSeedRandom(DemoRandomSeed());
}

int Player::CatchUpRate(std::int32_t distanceMs) const
{
    if (distanceMs <= 0) return kWindowCatchUpMaxRate;
    const std::int64_t rate = kWindowCatchUpFrames * 1000 / distanceMs;
    return int(std::clamp<std::int64_t>(rate, 1, kWindowCatchUpMaxRate));
}

bool Player::CatchUp(std::int64_t firstFrame, std::int64_t endFrame, int fps)
{
    const double started = Seconds();
    double barShownAt = 0;
    const bool showBar = startup_.showLoadingBar && !host_.context->Headless();
    for (std::int64_t frame = firstFrame; frame < endFrame; ++frame) {
        const std::int32_t time = FixedStepTime(frame, fps);
        ApplyEvents(time);
        RenderFrame(time, true);
        if ((frame % kFramesInFlight) == 0) glFinish();
        if (((frame - firstFrame) % kEventsEvery) != kEventsEvery - 1) continue;
        // F12 meanwhile saves the frame still in the render target, under its own time.
        if (!HandleEvents(shownTime_)) return false;
        const double now = Seconds();
        if (showBar && now - started > kQuietReplaySeconds && now - barShownAt > kBarEverySeconds) {
            host_.context->ShowProgress(float(frame - firstFrame) / float(endFrame - firstFrame),
                                        startup_.loadingBarPercent);
            barShownAt = now;
        }
    }
    return true;
}

std::int64_t Player::SeekFixedStep(std::int32_t target, std::int64_t currentFrame)
{
    pendingSeek_.reset();
    const int fps = options_.fps;
    target = std::clamp(target, 0, lastTime_);
    std::int64_t from = currentFrame + 1;
    if (target <= renderedTime_) {
        FreshStart();
        from = 0;
    }
    const std::int64_t to = FirstFrameAtOrAfter(target, fps);
    CatchUp(from, to, fps);
    return to;
}

void Player::SeekRealTime(std::int32_t target)
{
    pendingSeek_.reset();
    const double started = Seconds(), processorStarted = ProcessorSeconds();
    target = std::clamp(target, 0, lastTime_ + 1);
    std::int32_t from = renderedTime_ + 1;
    if (target <= renderedTime_) {
        FreshStart();
        from = 0;
    }
    const int rate = CatchUpRate(target - from);
    if (!CatchUp(FirstFrameAtOrAfter(from, rate), FirstFrameAtOrAfter(target, rate), rate)) return;
    // The replay took time of its own: the piece goes on from the target, not from later.
    clock_.SeekTo(target, SDL_GetTicks64());
    if (sound_) {
        sound_->JumpTo(target);
        sound_->SetPaused(clock_.Paused());
    }
    lastReplaySeconds_ = Seconds() - started;
    if (!options_.quiet)
        std::fprintf(stderr, "tarnelvois: at %d:%06.3f, replayed in %.2f s (%.2f s of processor time)\n",
                     int(target / 60000), (target % 60000) / 1000.0, lastReplaySeconds_,
                     ProcessorSeconds() - processorStarted);
}

void Player::RequestSeek(std::int32_t target, std::uint64_t nowMs)
{
    target = std::max(target, 0);
    clock_.SeekTo(target, nowMs);
    pendingSeek_ = target;
}

void Player::ReloadTimeline()
{
    std::vector<std::string> names;
    for (const RegisteredEffect& registered : host_.effects) names.push_back(registered.name);
    Timeline fresh;
    std::string error;
    if (!LoadTimelineFile(options_.timelinePath, names, fresh, error)) {
        // The old timeline plays on; the message stays in the overlay until a good one comes.
        timelineError_ = error;
        HostError(error + " (the previous timeline plays on)");
        return;
    }
    for (const std::string& warning : ParamWarnings(fresh, DeclaredEffectParameters(), options_.timelinePath))
        HostError(warning);
    timeline_ = std::move(fresh);
    timelineError_.clear();
    lastTime_ = timeline_.endTime - 1;
    if (options_.endMs) lastTime_ = std::min(lastTime_, *options_.endMs);
    // A new timeline is in force from here: the soundtrack's anchors follow it.
    FollowTimelineWithSound();
    if (!options_.quiet) std::fprintf(stderr, "tarnelvois: %s read again\n", options_.timelinePath.c_str());
    // The piece as the new timeline would have it at this moment: replayed from its beginning.
    const std::int32_t now = clock_.Time(SDL_GetTicks64());
    renderedTime_ = std::max(renderedTime_, now);  // forces the replay from the beginning
    pendingSeek_ = now;
}

void Player::FollowTimelineWithSound()
{
    if (!host_.soundtrack || !host_.archive) return;
    std::unique_ptr<audio::Soundtrack> fresh;
    std::string error;
    std::vector<std::string> unplaced;
    const bool scoreRead = LoadScore(*host_.archive, timeline_, fresh, error, unplaced);
    for (const std::string& cue : unplaced) HostWarning(cue);
    if (!scoreRead || !fresh) {
        HostWarning(error + "; the music keeps the previous timeline's moments");
        return;
    }
    // The device's worker reads the soundtrack: it goes before the soundtrack does. The seek that
    // follows a new timeline cues the new sound at the moment on screen.
    const bool playing = sound_ != nullptr;
    sound_.reset();
    host_.soundtrack = std::move(fresh);
    if (playing) StartSound();
}
