#include "capture/frame_cost.h"

#include <algorithm>

#include "host/clock.h"

namespace {

// A frame's fixed share: reading it back, encoding it, the clear and the cheap effects.
constexpr double kBaseCost = 1.0;

struct EffectCost {
    const char* name;  // a numbered copy (CUBE7, SPOT3) costs what its first does
    double cost;
};

// Fitted to a capture of the whole piece (960x720 in a 1280x720 frame, 60 fps, two cores, no GPU),
// in units of the base. The second lattice is the dear one: it draws its translucent sheets over
// the first one's, and the time per frame rises by ten times while it runs.
constexpr EffectCost kEffectCosts[] = {
    {"SPLASH", 0.6}, {"CUBE", 0.15}, {"SPOT", 0.5}, {"LOGO", 0.2},  {"LINE", 0.2},     {"SNOW", 0.2},
    {"RCUBE", 1.2},  {"RCUBE2", 10}, {"ZEP", 0.3},  {"SCROLLER", 0.1}, {"NDSPLASH", 0.2},
};

double EffectShare(const std::string& name)
{
    for (const EffectCost& effect : kEffectCosts)
        if (name == effect.name) return effect.cost;
    const std::string first = name.substr(0, name.find_last_not_of("0123456789") + 1);
    for (const EffectCost& effect : kEffectCosts)
        if (first != name && first == effect.name) return effect.cost;
    return 0.0;
}

}  // namespace

double FrameCost(const std::vector<std::string>& runningEffects)
{
    double cost = kBaseCost;
    for (const std::string& name : runningEffects) cost += EffectShare(name);
    return cost;
}

std::vector<double> FrameCosts(const Timeline& timeline, std::int64_t firstFrame, std::int64_t count, int fps)
{
    std::vector<double> costs;
    costs.reserve(size_t(std::max<std::int64_t>(count, 0)));
    std::vector<std::string> running;
    size_t next = 0;
    for (std::int64_t frame = firstFrame; frame < firstFrame + count; ++frame) {
        const std::int32_t time = FixedStepTime(frame, fps);
        for (; next < timeline.events.size() && timeline.events[next].time <= time; ++next) {
            const TimelineEvent& event = timeline.events[next];
            if (event.kind == TimelineEvent::Kind::Start) running.push_back(event.effect);
            if (event.kind == TimelineEvent::Kind::Stop) {
                auto found = std::find(running.begin(), running.end(), event.effect);
                if (found != running.end()) running.erase(found);
            }
        }
        costs.push_back(FrameCost(running));
    }
    return costs;
}
