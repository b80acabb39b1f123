// The timeline: when each effect starts (on which layer), stops, receives a text parameter, and
// when the demo ends. A text file, one event per line:
//
//   # comment (also after the fields of an event, where a word begins with '#')
//   <time ms>  start  <EFFECT> <layer> [fresh]
//   <time ms>  stop   <EFFECT>
//   <time ms>  param  <EFFECT> "<text>"
//   <time ms>  end
//
// Times are non-negative and never decrease from one line to the next. Exactly one "end" line,
// the last event. Layers are 0..1000; lower layers draw first. An effect started again goes on
// from where its last run left it (its own clock included) unless its start says "fresh": then it
// starts as on its first run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TimelineEvent {
    enum class Kind { Start, Stop, Param, End };
    std::int32_t time = 0;
    Kind kind = Kind::End;
    std::string effect;  // empty for End
    int layer = 0;       // Start only
    bool fresh = false;  // Start only: the effect is initialised again before it starts
    std::string text;    // Param only
    int line = 0;        // line number in the file, for messages
};

struct Timeline {
    std::vector<TimelineEvent> events;  // in file order
    std::int32_t endTime = 0;
};

constexpr int kMaxLayer = 1000;
// Latest time a line may give: well inside a signed 32-bit millisecond clock.
constexpr std::int32_t kMaxTimelineTime = 24 * 60 * 60 * 1000;

// Parses and checks the text: syntax, ranges, order, and that starts and stops pair up (no start
// of an effect already running, no stop or param of one that is not). On failure returns false
// with error set to one line "<source>:<line>: <what is wrong>".
bool ParseTimeline(const std::string& text, const std::string& source, Timeline& timeline, std::string& error);

// The same, and every effect named must be one of the registered names: an unknown name is
// reported on the line that gives it, before any mistake of pairing that it would cause later.
bool ParseTimeline(const std::string& text, const std::string& source, const std::vector<std::string>& registered,
                   Timeline& timeline, std::string& error);

// Checks that every effect named is in the list of registered names; same error form.
bool CheckTimelineNames(const Timeline& timeline, const std::vector<std::string>& registered,
                        const std::string& source, std::string& error);
