// The show's effects through the run: each starts (initialised again if its End let go of its
// textures), joins the others in layer order, draws every frame and ends when the timeline says.
#include "player/show.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/gl_functions.h"
#include "host/random.h"

RegisteredEffect* Show::Find(const std::string& name)
{
    for (RegisteredEffect& registered : host_.effects)
        if (registered.name == name) return &registered;
    return nullptr;
}

void Show::StartEffect(const TimelineEvent& event)
{
    RegisteredEffect* registered = Find(event.effect);
    if (!registered) return;
    if (registered->needsInit || event.fresh) {
        registered->effect->Init(context_.RenderWidth(), context_.RenderHeight());
        registered->needsInit = false;
    }
    registered->effect->Prepare();
    running_.push_back(RunningEffect{registered, event.layer, startCount_++});
    std::stable_sort(running_.begin(), running_.end(), [](const RunningEffect& a, const RunningEffect& b) {
        return a.layer != b.layer ? a.layer < b.layer : a.order < b.order;
    });
}

void Show::StopEffect(const std::string& name)
{
    auto found = std::find_if(running_.begin(), running_.end(),
                              [&](const RunningEffect& running) { return running.registered->name == name; });
    if (found == running_.end()) return;
    RegisteredEffect* registered = found->registered;
    running_.erase(found);
    // An End that deletes textures leaves the effect unable to Prepare them again: the host sees
    // the deletes and initialises the effect again before its next start.
    const size_t deletions = host_.textures ? host_.textures->Deletions() : 0;
    registered->effect->End();
    if (host_.textures && host_.textures->Deletions() != deletions) registered->needsInit = true;
}

void Show::ApplyEvents(std::int32_t time)
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

void Show::EndRunningEffects()
{
    while (!running_.empty()) StopEffect(running_.back().registered->name);
}

std::vector<std::string> Show::RunningNames() const
{
    std::vector<std::string> names;
    for (const RunningEffect& running : running_) names.push_back(running.registered->name);
    return names;
}

void Show::RenderFrame(std::int32_t time, bool unseen)
{
    const int width = context_.RenderWidth(), height = context_.RenderHeight();
    // Frames drawn unseen (before --start, during a seek) only advance the effects' state: a
    // one-pixel target and viewport make their clears and draws cost the same at any size.
    if (unseen) context_.BindCatchUpTarget();
    else context_.BindRenderTarget();
    glViewport(0, 0, unseen ? 1 : width, unseen ? 1 : height);
    renderedTime_ = time;
    if (!unseen) shownTime_ = time;
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

void Show::FreshStart()
{
    EndRunningEffects();
    // Each Init loads its textures anew, so the old ones are let go first.
    if (host_.textures) host_.textures->ReleaseAll();
    for (RegisteredEffect& registered : host_.effects) {
        registered.effect->Init(context_.RenderWidth(), context_.RenderHeight());
        registered.needsInit = false;
    }
    nextEvent_ = 0;
    startCount_ = 0;
    renderedTime_ = -1;
    DemoSeedRandom(DemoRandomSeed());
}
