// Any text as the timeline file. A timeline the parser accepts must be one the player can run
// without further checks: times in range and never decreasing, starts and stops paired, a single
// end that comes last.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "host/timeline.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Timeline timeline;
    std::string error;
    if (!ParseTimeline(text, "fuzz.txt", timeline, error)) {
        if (error.rfind("fuzz.txt:", 0) != 0 || error.find('\n') != std::string::npos) std::abort();
        return 0;
    }
    if (timeline.events.empty() || timeline.events.back().kind != TimelineEvent::Kind::End ||
        timeline.events.back().time != timeline.endTime) {
        std::abort();
    }
    std::set<std::string> running;
    std::int32_t previous = 0;
    for (const TimelineEvent& event : timeline.events) {
        if (event.time < previous || event.time > kMaxTimelineTime || event.line < 1) std::abort();
        previous = event.time;
        switch (event.kind) {
        case TimelineEvent::Kind::Start:
            if (event.layer < 0 || event.layer > kMaxLayer || !running.insert(event.effect).second) std::abort();
            break;
        case TimelineEvent::Kind::Stop:
            if (running.erase(event.effect) != 1) std::abort();
            break;
        case TimelineEvent::Kind::Param:
            if (running.count(event.effect) != 1) std::abort();
            break;
        case TimelineEvent::Kind::End:
            if (&event != &timeline.events.back()) std::abort();
            break;
        }
    }
    if (!CheckTimelineNames(timeline, {"CONTROL", "LOGO", "SPOT"}, "fuzz.txt", error) && error.empty()) std::abort();
    return 0;
}
