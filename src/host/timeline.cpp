// The timeline file: each line read into an event, then the events checked as a whole for order,
// pairing of starts and stops, and a single end.
#include "host/timeline.h"

#include "host/text_lines.h"

#include <algorithm>
#include <map>

namespace {

// Control characters other than tab and line ends do not belong in a text file, and echoed in an
// error message they would drive the user's terminal.
bool IsStrayControl(unsigned char c) { return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F; }

// The line of the first byte that cannot be text (a control character, or not UTF-8), or 0 when
// all is text.
int LineOfFirstNonText(const std::string& text) {
    int line = 1;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (IsStrayControl(lead)) return line;
        if (lead < 0x80) {
            line += lead == '\n';
            ++i;
            continue;
        }
        const int length = (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
        if (length == 0 || i + length > text.size()) return line;
        std::uint32_t code = lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return line;
            code = (code << 6) | (next & 0x3F);
        }
        const std::uint32_t shortest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (code < shortest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return line;
        i += length;
    }
    return 0;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads the fields of one line: blank-separated words, and one double-quoted text. A word that
// begins with '#' starts a comment that runs to the end of the line; a '#' inside the quotes is text.
class Fields {
public:
    explicit Fields(const std::string& line) : line_(line) {}
    bool AtEnd() { Skip(); return at_ == line_.size() || line_[at_] == '#'; }
    std::string Word() {
        if (AtEnd()) return std::string();
        const std::size_t from = at_;
        while (at_ < line_.size() && !IsBlank(line_[at_])) ++at_;
        return line_.substr(from, at_ - from);
    }
    // The text between the quotes, or a reason why there is none.
    bool Quoted(std::string& text, std::string& problem) {
        Skip();
        if (at_ == line_.size() || line_[at_] != '"') { problem = "param needs a text in double quotes"; return false; }
        const std::size_t close = line_.find('"', at_ + 1);
        if (close == std::string::npos) { problem = "missing closing quote"; return false; }
        text = line_.substr(at_ + 1, close - at_ - 1);
        at_ = close + 1;
        if (!AtEnd()) { problem = "text after the closing quote"; return false; }
        return true;
    }

private:
    void Skip() { while (at_ < line_.size() && IsBlank(line_[at_])) ++at_; }
    const std::string& line_;
    std::size_t at_ = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits only: a sign, a blank or a unit after the number is a mistake worth reporting.
bool ParseWhole(const std::string& word, std::int64_t max, std::int64_t& value) {
    if (word.empty() || !std::all_of(word.begin(), word.end(), IsDigit)) return false;
    value = 0;
    for (char c : word) {
        value = value * 10 + (c - '0');
        if (value > max) return false;
    }
    return true;
}

bool IsEffectName(const std::string& word) {
    return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || IsDigit(c) || c == '_';
    });
}

// One event line to an event; the problem with it, or empty. With a list of registered names, a
// name not in it is the line's problem, so it is reported where it was written.
std::string ParseEvent(const std::string& line, const std::vector<std::string>* registered, TimelineEvent& event) {
    Fields fields(line);
    const std::string timeWord = fields.Word();
    std::int64_t value = 0;
    if (!ParseWhole(timeWord, kMaxTimelineTime, value)) {
        return "time must be a whole number of ms from 0 to " + std::to_string(kMaxTimelineTime) + ", got '" + timeWord + "'";
    }
    event.time = static_cast<std::int32_t>(value);
    const std::string command = fields.Word();
    if (command == "end") {
        event.kind = TimelineEvent::Kind::End;
    } else if (command == "start" || command == "stop" || command == "param") {
        event.kind = command == "start" ? TimelineEvent::Kind::Start
                   : command == "stop"  ? TimelineEvent::Kind::Stop : TimelineEvent::Kind::Param;
        event.effect = fields.Word();
        if (event.effect.empty()) return command + " needs an effect name";
        if (!IsEffectName(event.effect)) return "effect name '" + event.effect + "' must be upper-case letters, digits or '_'";
        if (registered && std::find(registered->begin(), registered->end(), event.effect) == registered->end())
            return "unknown effect " + event.effect;
    } else {
        return command.empty() ? "missing command after the time" : "unknown command '" + command + "'";
    }
    if (event.kind == TimelineEvent::Kind::Start) {
        const std::string layerWord = fields.Word();
        if (layerWord.empty()) return "start needs a layer after the effect name";
        if (!ParseWhole(layerWord, kMaxLayer, value)) {
            return "layer must be a whole number from 0 to " + std::to_string(kMaxLayer) + ", got '" + layerWord + "'";
        }
        event.layer = static_cast<int>(value);
        if (!fields.AtEnd()) {
            const std::string word = fields.Word();
            if (word != "fresh") return "extra field '" + word + "' (after the layer only 'fresh' may follow)";
            event.fresh = true;
        }
    }
    std::string problem;
    if (event.kind == TimelineEvent::Kind::Param) fields.Quoted(event.text, problem);
    if (problem.empty() && !fields.AtEnd()) problem = "extra field '" + fields.Word() + "'";
    return problem;
}

bool Parse(const std::string& text, const std::string& source, const std::vector<std::string>* registered,
           Timeline& timeline, std::string& error) {
    auto fail = [&](int line, const std::string& what) {
        error = source + ":" + std::to_string(line) + ": " + what;
        return false;
    };
    if (const int line = LineOfFirstNonText(text); line != 0) return fail(line, "not a text file");
    timeline = Timeline();
    std::map<std::string, int> running;  // effect -> line of its start
    int endLine = 0;
    TextLines lines(text);
    for (std::string line; lines.Next(line);) {
        const int lineNumber = lines.Number();
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;

        TimelineEvent event;
        event.line = lineNumber;
        if (std::string problem = ParseEvent(line, registered, event); !problem.empty()) return fail(lineNumber, problem);
        if (endLine != 0) {
            return fail(lineNumber, event.kind == TimelineEvent::Kind::End
                                        ? "a second end (the first is on line " + std::to_string(endLine) + ")"
                                        : "event after the end on line " + std::to_string(endLine));
        }
        if (!timeline.events.empty() && event.time < timeline.events.back().time) {
            return fail(lineNumber, "time " + std::to_string(event.time) + " is before the previous line's " +
                                        std::to_string(timeline.events.back().time));
        }
        const bool isRunning = running.count(event.effect) != 0;
        switch (event.kind) {
        case TimelineEvent::Kind::Start:
            if (isRunning) {
                return fail(lineNumber, "start of " + event.effect + ", which is already running (started on line " +
                                            std::to_string(running[event.effect]) + ")");
            }
            running[event.effect] = lineNumber;
            break;
        case TimelineEvent::Kind::Stop:
        case TimelineEvent::Kind::Param:
            if (!isRunning) {
                return fail(lineNumber, std::string(event.kind == TimelineEvent::Kind::Stop ? "stop" : "param") +
                                            " of " + event.effect + ", which is not running");
            }
            if (event.kind == TimelineEvent::Kind::Stop) running.erase(event.effect);
            break;
        case TimelineEvent::Kind::End:
            endLine = lineNumber;
            timeline.endTime = event.time;
            break;
        }
        timeline.events.push_back(event);
    }
    if (endLine == 0) return fail(std::max(lines.Number(), 1), "no end line");
    return true;
}

}  // namespace

bool ParseTimeline(const std::string& text, const std::string& source, Timeline& timeline, std::string& error) {
    return Parse(text, source, nullptr, timeline, error);
}

bool ParseTimeline(const std::string& text, const std::string& source, const std::vector<std::string>& registered,
                   Timeline& timeline, std::string& error) {
    return Parse(text, source, &registered, timeline, error);
}

bool CheckTimelineNames(const Timeline& timeline, const std::vector<std::string>& registered,
                        const std::string& source, std::string& error) {
    for (const TimelineEvent& event : timeline.events) {
        if (event.effect.empty()) continue;
        if (std::find(registered.begin(), registered.end(), event.effect) == registered.end()) {
            error = source + ":" + std::to_string(event.line) + ": unknown effect " + event.effect;
            return false;
        }
    }
    return true;
}
