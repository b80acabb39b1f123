// Notes on the timeline: positions resolved against the timeline's events, patterns repeated over
// their span, each note given its length, level and the frames it sounds for.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "sound/score_parser.h"

namespace audio::scoring {

int Parser::PatchNamed(const std::string& name) const {
    const auto found = patchIndex_.find(name);
    if (found == patchIndex_.end()) throw Problem{"unknown instrument '" + name + "'"};
    return found->second;
}

std::int64_t Parser::Position(const std::string& word) {
    anyPosition_ = true;
    std::size_t sign = word.find_first_of("+-");
    const std::string base = word.substr(0, sign);
    double offsetBeats = 0;
    if (sign != std::string::npos) {
        const std::optional<double> beats = Decimal(word.substr(sign + 1), false);
        if (!beats) throw Problem{"offset in '" + word + "' must be a number of beats"};
        offsetBeats = word[sign] == '-' ? -*beats : *beats;
    }
    double frames = 0;
    if (base == "end") {
        frames = static_cast<double>(score_.frames);
    } else if (base.rfind("bar:", 0) == 0) {
        const std::optional<double> bar = Decimal(base.substr(4), false);
        if (!bar) throw Problem{"bar number in '" + word + "' must be a number"};
        frames = *bar * 4 * FramesPerBeat();
    } else if (base.rfind("start:", 0) == 0 || base.rfind("stop:", 0) == 0) {
        frames = static_cast<double>(EventTime(base)) * kSampleRate / 1000;
    } else {
        throw Problem{"'" + word + "' is not a position (start:EFFECT, stop:EFFECT, end or bar:N, with +/- beats)"};
    }
    const double at = std::round(frames + offsetBeats * FramesPerBeat());
    if (at < 0) throw Problem{"position " + word + " is before the start of the piece", true};
    if (at > static_cast<double>(score_.frames)) {
        throw Problem{"position " + word + " is after the end of the piece (" + std::to_string(timeline_.endTime) + " ms)", true};
    }
    return static_cast<std::int64_t>(at);
}

std::int32_t Parser::EventTime(const std::string& base) const {
    const bool start = base[2] == 'a';
    std::string name = base.substr(base.find(':') + 1);
    int wanted = 1;
    if (const std::size_t hash = name.find('#'); hash != std::string::npos) {
        const std::optional<double> n = Decimal(name.substr(hash + 1), false);
        if (!n || *n < 1 || *n != std::floor(*n)) throw Problem{"'#' in '" + base + "' must be followed by 1, 2, ..."};
        // Beyond the number of events it cannot be found; the count that is there says so.
        wanted = static_cast<int>(std::min(*n, static_cast<double>(timeline_.events.size()) + 1));
        name.erase(hash);
    }
    const auto kind = start ? TimelineEvent::Kind::Start : TimelineEvent::Kind::Stop;
    int seen = 0;
    bool named = false;
    for (const TimelineEvent& event : timeline_.events) {
        named = named || event.effect == name;
        if (event.kind == kind && event.effect == name && ++seen == wanted) return event.time;
    }
    if (!named) throw Problem{"no effect " + name + " in the timeline", true};
    if (seen == 0) throw Problem{name + " never " + (start ? "starts" : "stops") + " in the timeline", true};
    throw Problem{name + (start ? " starts" : " stops") + " only " + std::to_string(seen) + " time(s) in the timeline", true};
}

std::int64_t Parser::SoundFrames(const Patch& patch, std::int64_t length) const {
    double seconds = 0;
    if (patch.kind == PatchKind::Kick || patch.kind == PatchKind::Snare || patch.kind == PatchKind::Hat) {
        seconds = 6.9 * patch.decay;
    } else {
        double held = static_cast<double>(length) / kSampleRate;
        if (patch.sustain == 0) held = std::min(held, patch.attack + patch.decay);
        seconds = held + patch.release;
        if (patch.ring > 0) seconds = std::min(seconds, 6.9 * patch.ring);
    }
    return static_cast<std::int64_t>(std::ceil(seconds * kSampleRate));
}

void Parser::AddNote(int patchIndex, double key, std::int64_t onset, std::int64_t length, double level) {
    const Patch& patch = score_.patches[patchIndex];
    if (static_cast<double>(length) > kMaxHoldBeats * FramesPerBeat() + 0.5) {
        throw Problem{"a note holds longer than " + std::to_string(static_cast<int>(kMaxHoldBeats)) + " beats"};
    }
    Note note;
    note.onset = onset;
    note.length = length;
    note.end = onset + SoundFrames(patch, length);
    note.patch = patchIndex;
    note.frequency = key == kOwnPitch ? patch.pitch : Frequency(key);
    note.level = level * patch.gain;
    note.line = line_;
    if (score_.notes.size() >= kMaxNotes) throw Problem{"more than " + std::to_string(kMaxNotes) + " notes in the score"};
    if (note.end > score_.frames) {
        throw Problem{"the note at " + std::to_string(onset * 1000 / kSampleRate) + " ms on " + patch.name +
                      " sounds past the end of the piece (" + std::to_string(timeline_.endTime) + " ms)", true};
    }
    score_.notes.push_back(note);
}

void Parser::Play(const std::vector<std::string>& words, int line) {
    if (words.size() < 6 || words[2] != "on" || words[4] != "from") {
        throw Problem{"play needs: play PATTERN on INSTRUMENT from POS [to POS] [settings]"};
    }
    const auto found = patterns_.find(words[1]);
    if (found == patterns_.end()) throw Problem{"unknown pattern '" + words[1] + "'"};
    const Pattern& pattern = found->second;
    if (pattern.steps.empty()) throw Problem{"pattern " + words[1] + " has no steps"};
    const int patchIndex = PatchNamed(words[3]);
    const std::int64_t from = Position(words[5]);
    bool moves = NamesAMoment(words[5]);
    std::size_t next = 6;
    std::int64_t to = -1;
    if (words.size() > 7 && words[6] == "to") {
        to = Position(words[7]);
        moves = moves || NamesAMoment(words[7]);
        next = 8;
        if (to <= from) throw Problem{"play ends at " + words[7] + ", not after its start " + words[5], moves};
    } else if (words.size() > 6 && words[6] == "to") {
        throw Problem{"'to' needs a position"};
    }
    auto settings = Settings(words, next, {"transpose", "gain", "fadein", "fadeout"}, "play");
    const double transpose = settings.count("transpose") ? Number("transpose", settings["transpose"], true, -48, 48) : 0;
    const double gain = settings.count("gain") ? Decibels(Number("gain", settings["gain"], true, -60, 24)) : 1;
    const double fadeIn = settings.count("fadein") ? Number("fadein", settings["fadein"], false, 0, 1000) * FramesPerBeat() : 0;
    const double fadeOut = settings.count("fadeout") ? Number("fadeout", settings["fadeout"], false, 0, 1000) * FramesPerBeat() : 0;

    const double stepFrames = pattern.stepBeats * FramesPerBeat();
    const std::int64_t patternFrames = static_cast<std::int64_t>(std::llround(stepFrames * pattern.steps.size()));
    if (to < 0) to = std::min(score_.frames, from + patternFrames);
    // The spans already there do not overlap: only the neighbours of this one can.
    std::map<std::int64_t, Span>& spans = spans_[patchIndex];
    const auto after = spans.lower_bound(from);
    const Span* other = after != spans.end() && after->second.from < to ? &after->second : nullptr;
    if (after != spans.begin() && std::prev(after)->second.to > from) other = &std::prev(after)->second;
    if (other != nullptr) {
        throw Problem{"instrument " + words[3] + " already plays from " + std::to_string(other->from * 1000 / kSampleRate) +
                      " to " + std::to_string(other->to * 1000 / kSampleRate) + " ms (line " + std::to_string(other->line) +
                      "): one pattern at a time", moves || other->movesWithTheTimeline};
    }

    const std::size_t count = pattern.steps.size();
    for (std::int64_t repeat = 0;; ++repeat) {
        const std::int64_t base = from + repeat * patternFrames;
        if (base >= to) break;
        for (std::size_t i = 0; i < count; ++i) {
            const Step& step = pattern.steps[i];
            if (step.kind != Step::Kind::Notes) continue;
            const std::int64_t onset = base + std::llround(stepFrames * i);
            if (onset >= to) break;
            std::size_t held = i + 1;
            while (held < count && pattern.steps[held].kind == Step::Kind::Hold) ++held;
            const std::int64_t release = std::min<std::int64_t>(to, base + std::llround(stepFrames * held));
            double level = step.velocity * gain;
            if (fadeIn > 0) level *= std::clamp((onset - from) / fadeIn, kFadeFloor, 1.0);
            if (fadeOut > 0) level *= std::clamp((to - onset) / fadeOut, kFadeFloor, 1.0);
            for (int key : step.keys) {
                AddNote(patchIndex, key == kOwnPitch ? kOwnPitch : key + transpose, onset, release - onset, level);
            }
        }
    }
    // Only a play that was placed whole holds its instrument.
    spans.emplace(from, Span{from, to, line, moves});
}

void Parser::Hit(const std::vector<std::string>& words) {
    if (words.size() < 5 || words[3] != "at") throw Problem{"hit needs: hit INSTRUMENT NOTE at POS [length=B] [gain=dB]"};
    const int patchIndex = PatchNamed(words[1]);
    const Step step = ParseStep(words[2]);
    if (step.kind != Step::Kind::Notes) throw Problem{"hit needs a note, got '" + words[2] + "'"};
    const std::int64_t at = Position(words[4]);
    auto settings = Settings(words, 5, {"length", "gain"}, "hit");
    const double beats = settings.count("length") ? Number("length", settings["length"], false, 0.0625, kMaxHoldBeats) : 1;
    const double gain = settings.count("gain") ? Decibels(Number("gain", settings["gain"], true, -60, 24)) : 1;
    for (int key : step.keys) {
        AddNote(patchIndex, key, at, std::llround(beats * FramesPerBeat()), step.velocity * gain);
    }
}

}  // namespace audio::scoring
