#include "host/frame_cost.h"

#include <algorithm>

#include "host/clock.h"

namespace {

// A frame's fixed share: clearing, reading back and encoding a frame, and the cheap effects.
constexpr double kBaseCost = 1.0;

struct EffectCost {
    const char* name;
    double cost;
};

// Measured on a capture of the whole piece on two cores without a GPU, in units of the base.
constexpr EffectCost kEffectCosts[] = {
    {"RCUBE", 1.0}, {"RCUBE2", 1.0}, {"SNOW", 0.2}, {"ZEP", 0.1}, {"SCROLLER", 0.1},
};

}  // namespace

double FrameCost(const std::vector<std::string>& runningEffects)
{
    double cost = kBaseCost;
    for (const std::string& name : runningEffects)
        for (const EffectCost& effect : kEffectCosts)
            if (name == effect.name) cost += effect.cost;
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
