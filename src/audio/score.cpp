// The score's text: statements read line by line, positions resolved against the timeline, and
// the arrangement expanded into notes in sample frames.
#include "audio/score.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <sstream>

#include "audio/soundtrack.h"
#include "host/text_lines.h"

namespace audio {
namespace {

constexpr double kMaxHoldBeats = 32.0;
constexpr double kDefaultVelocity = 0.8;
constexpr double kSoftVelocity = 0.5;
constexpr double kAccentVelocity = 1.0;
// A fade never silences a note completely: the first note of a swell is still heard.
constexpr double kFadeFloor = 0.1;

struct Problem {
    std::string what;
    // The cue asks for a moment this timeline does not give (an effect taken out, a start moved
    // past its stop, the end brought forward): the score itself may be fine.
    bool unplaced = false;
};

bool NamesAMoment(const std::string& word) { return word.rfind("start:", 0) == 0 || word.rfind("stop:", 0) == 0; }

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits, optionally a point and more digits; a sign only where allowed. No exponents, no units:
// "4ms" or "1e3" in a score is a mistake worth a message.
std::optional<double> Decimal(const std::string& word, bool signedAllowed) {
    std::size_t at = 0;
    bool negative = false;
    if (signedAllowed && at < word.size() && (word[at] == '-' || word[at] == '+')) negative = word[at++] == '-';
    const std::size_t digitsFrom = at;
    while (at < word.size() && IsDigit(word[at])) ++at;
    if (at == digitsFrom) return std::nullopt;
    if (at < word.size() && word[at] == '.') {
        const std::size_t fractionFrom = ++at;
        while (at < word.size() && IsDigit(word[at])) ++at;
        if (at == fractionFrom) return std::nullopt;
    }
    if (at != word.size() || word.size() - digitsFrom > 12) return std::nullopt;
    const double value = std::stod(word.substr(digitsFrom));
    return negative ? -value : value;
}

double Number(const std::string& key, const std::string& word, bool signedAllowed, double low, double high) {
    const std::optional<double> value = Decimal(word, signedAllowed);
    if (!value) throw Problem{key + " must be a number, got '" + word + "'"};
    if (*value < low || *value > high) {
        std::ostringstream range;
        range << key << " must be from " << low << " to " << high << ", got " << word;
        throw Problem{range.str()};
    }
    return *value;
}

double Decibels(double db) { return std::pow(10.0, db / 20.0); }

// "key=value" settings after the fixed words of a statement.
std::map<std::string, std::string> Settings(const std::vector<std::string>& words, std::size_t from,
                                            const std::vector<std::string>& known, const std::string& what) {
    std::map<std::string, std::string> settings;
    for (std::size_t i = from; i < words.size(); ++i) {
        const std::size_t equals = words[i].find('=');
        if (equals == std::string::npos || equals == 0) {
            throw Problem{"expected key=value for " + what + ", got '" + words[i] + "'"};
        }
        const std::string key = words[i].substr(0, equals);
        if (std::find(known.begin(), known.end(), key) == known.end()) {
            std::string list;
            for (const std::string& name : known) list += (list.empty() ? "" : ", ") + name;
            throw Problem{"unknown setting '" + key + "' for " + what + " (known: " + list + ")"};
        }
        if (!settings.emplace(key, words[i].substr(equals + 1)).second) throw Problem{"setting '" + key + "' given twice"};
    }
    return settings;
}

// A note name (C4, F#3, Bb2; octave -1..9) as a MIDI key number.
std::optional<int> Key(const std::string& name) {
    static const int kSemitone[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') return std::nullopt;
    int key = kSemitone[name[0] - 'A'];
    std::size_t at = 1;
    if (name[at] == '#') { ++key; ++at; }
    else if (name[at] == 'b') { --key; ++at; }
    const std::string octave = name.substr(at);
    if (octave == "-1") return key;
    if (octave.size() != 1 || !IsDigit(octave[0])) return std::nullopt;
    return key + 12 * (octave[0] - '0' + 1);
}

double Frequency(double key) { return 440.0 * std::pow(2.0, (key - 69.0) / 12.0); }

// One step of a pattern: a rest, a hold of the note before, or notes (kOwnPitch: the
// instrument's own pitch).
constexpr int kOwnPitch = -1000;
struct Step {
    enum class Kind { Rest, Hold, Notes } kind = Kind::Rest;
    std::vector<int> keys;
    double velocity = kDefaultVelocity;
};

Step ParseStep(const std::string& token) {
    Step step;
    if (token == ".") return step;
    if (token == "-") { step.kind = Step::Kind::Hold; return step; }
    step.kind = Step::Kind::Notes;
    std::string body = token;
    if (body.back() == '\'') { step.velocity = kSoftVelocity; body.pop_back(); }
    else if (body.back() == '!') { step.velocity = kAccentVelocity; body.pop_back(); }
    std::size_t from = 0;
    while (from <= body.size()) {
        std::size_t plus = body.find('+', from);
        if (plus == std::string::npos) plus = body.size();
        const std::string name = body.substr(from, plus - from);
        if (name == "x") step.keys.push_back(kOwnPitch);
        else if (const std::optional<int> key = Key(name)) step.keys.push_back(*key);
        else throw Problem{"'" + token + "' is not a step (a note like C4, F#3 or Bb2, a chord C4+E4, x, '.' or '-')"};
        from = plus + 1;
    }
    return step;
}

struct Pattern {
    double stepBeats = 0.25;
    std::vector<Step> steps;
    int line = 0;
};

struct Span {
    std::int64_t from = 0;
    std::int64_t to = 0;
    int line = 0;
    bool movesWithTheTimeline = false;
};

class Parser {
public:
    Parser(const Timeline& timeline, Score& score) : timeline_(timeline), score_(score) {
        score_ = Score();
        score_.frames = static_cast<std::int64_t>(timeline.endTime) * kSampleRate / 1000;
    }

    void Statement(const std::vector<std::string>& words, bool indented, int line) {
        if (indented) {
            if (pattern_ == nullptr) throw Problem{"indented line outside a pattern (rows follow a pattern line)"};
            for (const std::string& token : words) {
                Step step = ParseStep(token);
                if (step.kind == Step::Kind::Hold && pattern_->steps.empty()) throw Problem{"'-' at the start of a pattern holds nothing"};
                pattern_->steps.push_back(step);
            }
            return;
        }
        pattern_ = nullptr;
        const std::string& verb = words[0];
        if (verb == "tempo") Tempo(words);
        else if (verb == "master") Master(words);
        else if (verb == "reverb") Reverb(words);
        else if (verb == "echo") Echo(words);
        else if (verb == "instrument") Instrument(words);
        else if (verb == "pattern") PatternHeader(words, line);
        else if (verb == "play") Play(words, line);
        else if (verb == "hit") Hit(words);
        else throw Problem{"unknown statement '" + verb + "' (tempo, master, reverb, echo, instrument, pattern, play, hit)"};
    }

    // Problems only visible once the whole text is read; the line of the culprit, or 0.
    int Finish(std::string& what) {
        for (const auto& [name, pattern] : patterns_) {
            if (pattern.steps.empty()) { what = "pattern " + name + " has no steps"; return pattern.line; }
        }
        std::stable_sort(score_.notes.begin(), score_.notes.end(),
                         [](const Note& a, const Note& b) { return a.onset < b.onset; });
        return 0;
    }

private:
    double FramesPerBeat() const { return kSampleRate * 60.0 / score_.tempo; }

    void Tempo(const std::vector<std::string>& words) {
        if (words.size() != 2) throw Problem{"tempo takes one number, the beats a minute"};
        if (tempoSet_) throw Problem{"tempo given twice"};
        if (anyPosition_) throw Problem{"tempo must come before the first position"};
        score_.tempo = Number("tempo", words[1], false, 40, 300);
        tempoSet_ = true;
    }

    void Master(const std::vector<std::string>& words) {
        auto settings = Settings(words, 1, {"gain"}, "master");
        if (settings.count("gain")) score_.masterGain = Decibels(Number("gain", settings["gain"], true, -60, 24));
    }

    void Reverb(const std::vector<std::string>& words) {
        auto settings = Settings(words, 1, {"time", "return"}, "reverb");
        // Longer tails would reach past the effects' warm-up and be cut short.
        if (settings.count("time")) score_.reverbSeconds = Number("time", settings["time"], false, 0.1, 2.5);
        if (settings.count("return")) score_.reverbReturn = Decibels(Number("return", settings["return"], true, -60, 12));
    }

    void Echo(const std::vector<std::string>& words) {
        auto settings = Settings(words, 1, {"beats", "feedback", "return"}, "echo");
        if (settings.count("beats")) score_.echoBeats = Number("beats", settings["beats"], false, 0.0625, 2);
        if (settings.count("feedback")) score_.echoFeedback = Number("feedback", settings["feedback"], false, 0, 0.7);
        if (settings.count("return")) score_.echoReturn = Decibels(Number("return", settings["return"], true, -60, 12));
    }

    void Instrument(const std::vector<std::string>& words) {
        if (words.size() < 3) throw Problem{"instrument needs a name and a kind (fm, saw, square, kick, snare, hat)"};
        Patch patch;
        patch.name = words[1];
        if (patchIndex_.count(patch.name)) throw Problem{"instrument " + patch.name + " defined twice"};
        static const std::map<std::string, PatchKind> kKinds = {
            {"fm", PatchKind::Fm}, {"saw", PatchKind::Saw}, {"square", PatchKind::Square},
            {"kick", PatchKind::Kick}, {"snare", PatchKind::Snare}, {"hat", PatchKind::Hat}};
        const auto kind = kKinds.find(words[2]);
        if (kind == kKinds.end()) throw Problem{"unknown instrument kind '" + words[2] + "' (fm, saw, square, kick, snare, hat)"};
        patch.kind = kind->second;
        std::vector<std::string> known = {"gain", "pan", "reverb", "echo", "pitch"};
        const bool drum = patch.kind == PatchKind::Kick || patch.kind == PatchKind::Snare || patch.kind == PatchKind::Hat;
        if (drum) {
            known.push_back("decay");
        } else {
            for (const char* key : {"attack", "decay", "sustain", "release", "ring"}) known.push_back(key);
        }
        switch (patch.kind) {
        case PatchKind::Fm: for (const char* key : {"ratio", "index", "index_decay", "vibrato", "detune"}) known.push_back(key); break;
        case PatchKind::Saw:
        case PatchKind::Square: for (const char* key : {"cutoff", "q", "envelope", "envelope_decay", "detune"}) known.push_back(key); break;
        case PatchKind::Kick: for (const char* key : {"punch", "sweep"}) known.push_back(key); break;
        case PatchKind::Snare: for (const char* key : {"noise", "cutoff"}) known.push_back(key); break;
        case PatchKind::Hat: known.push_back("cutoff"); break;
        }
        patch.pitch = patch.kind == PatchKind::Kick ? 50 : patch.kind == PatchKind::Snare ? 190 : 440;
        if (drum) {
            patch.decay = patch.kind == PatchKind::Hat ? 0.04 : 0.15;
            patch.cutoff = patch.kind == PatchKind::Hat ? 7000 : 1800;
        }
        auto settings = Settings(words, 3, known, "a " + words[2] + " instrument");
        auto set = [&](const char* key, double& field, bool signedAllowed, double low, double high) {
            if (settings.count(key)) field = Number(key, settings[key], signedAllowed, low, high);
        };
        double gainDb = 0;
        set("gain", gainDb, true, -60, 24);
        patch.gain = Decibels(gainDb);
        set("pan", patch.pan, true, -1, 1);
        set("reverb", patch.reverb, false, 0, 1);
        set("echo", patch.echo, false, 0, 1);
        set("pitch", patch.pitch, false, 20, 16000);
        set("attack", patch.attack, false, 0.001, 30);
        set("decay", patch.decay, false, 0.001, 30);
        set("sustain", patch.sustain, false, 0, 1);
        set("release", patch.release, false, 0.001, 30);
        set("ring", patch.ring, false, 0, 30);
        set("ratio", patch.ratio, false, 0.0625, 16);
        set("index", patch.index, false, 0, 20);
        set("index_decay", patch.indexDecay, false, 0.001, 30);
        set("vibrato", patch.vibrato, false, 0, 100);
        set("cutoff", patch.cutoff, false, 20, 20000);
        set("q", patch.q, false, 0.3, 20);
        set("envelope", patch.envelope, false, 0, 8);
        set("envelope_decay", patch.envelopeDecay, false, 0.001, 30);
        set("detune", patch.detune, false, 0, 100);
        set("punch", patch.punch, false, 1, 16);
        set("sweep", patch.sweep, false, 0.001, 1);
        set("noise", patch.noise, false, 0, 1);
        patchIndex_[patch.name] = static_cast<int>(score_.patches.size());
        score_.patches.push_back(patch);
    }

    void PatternHeader(const std::vector<std::string>& words, int line) {
        if (words.size() < 2) throw Problem{"pattern needs a name"};
        if (patterns_.count(words[1])) throw Problem{"pattern " + words[1] + " defined twice"};
        Pattern pattern;
        pattern.line = line;
        auto settings = Settings(words, 2, {"step"}, "pattern");
        if (settings.count("step")) {
            const std::string& text = settings["step"];
            const std::size_t slash = text.find('/');
            if (slash == std::string::npos) {
                pattern.stepBeats = Number("step", text, false, 1.0 / 64, 16);
            } else {
                const double over = Number("step", text.substr(0, slash), false, 1, 64);
                const double under = Number("step", text.substr(slash + 1), false, 1, 64);
                pattern.stepBeats = over / under;
            }
        }
        pattern_ = &(patterns_[words[1]] = pattern);
    }

    int PatchNamed(const std::string& name) const {
        const auto found = patchIndex_.find(name);
        if (found == patchIndex_.end()) throw Problem{"unknown instrument '" + name + "'"};
        return found->second;
    }

    // "start:CUBE5+2", "stop:LINE#2-4", "end", "bar:12.5" in frames.
    std::int64_t Position(const std::string& word) {
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

    std::int32_t EventTime(const std::string& base) const {
        const bool start = base[2] == 'a';
        std::string name = base.substr(base.find(':') + 1);
        int wanted = 1;
        if (const std::size_t hash = name.find('#'); hash != std::string::npos) {
            const std::optional<double> n = Decimal(name.substr(hash + 1), false);
            if (!n || *n < 1 || *n != std::floor(*n)) throw Problem{"'#' in '" + base + "' must be followed by 1, 2, ..."};
            wanted = static_cast<int>(*n);
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

    // Frames of sound after the note-on: the note, its release, capped where the decay has died.
    std::int64_t SoundFrames(const Patch& patch, std::int64_t length) const {
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

    void AddNote(int patchIndex, double key, std::int64_t onset, std::int64_t length, double level) {
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
        if (note.end > score_.frames) {
            throw Problem{"the note at " + std::to_string(onset * 1000 / kSampleRate) + " ms on " + patch.name +
                          " sounds past the end of the piece (" + std::to_string(timeline_.endTime) + " ms)", true};
        }
        score_.notes.push_back(note);
    }

    void Play(const std::vector<std::string>& words, int line) {
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
        for (const Span& other : spans_[patchIndex]) {
            if (from < other.to && other.from < to) {
                throw Problem{"instrument " + words[3] + " already plays from " + std::to_string(other.from * 1000 / kSampleRate) +
                              " to " + std::to_string(other.to * 1000 / kSampleRate) + " ms (line " + std::to_string(other.line) +
                              "): one pattern at a time", moves || other.movesWithTheTimeline};
            }
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
        spans_[patchIndex].push_back(Span{from, to, line, moves});
    }

    void Hit(const std::vector<std::string>& words) {
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

    const Timeline& timeline_;
    Score& score_;
    std::map<std::string, int> patchIndex_;
    std::map<std::string, Pattern> patterns_;
    std::map<int, std::vector<Span>> spans_;
    Pattern* pattern_ = nullptr;
    bool tempoSet_ = false;
    bool anyPosition_ = false;
};

}  // namespace

bool ParseScore(const std::string& text, const std::string& source, const Timeline& timeline, Score& score,
                std::string& error, std::vector<std::string>* unplaced) {
    Parser parser(timeline, score);
    TextLines lines(text);
    try {
        for (std::string line; lines.Next(line);) {
            const int lineNumber = lines.Number();
            for (unsigned char c : line) {
                if ((c < 0x20 && c != '\t') || c == 0x7F) throw Problem{"not a text file"};
            }
            // A comment starts at a '#' that begins a word; "start:CUBE#2" keeps its '#'.
            for (std::size_t at = 0; at < line.size(); ++at) {
                if (line[at] == '#' && (at == 0 || line[at - 1] == ' ' || line[at - 1] == '\t')) { line.erase(at); break; }
            }
            const std::vector<std::string> words = Words(line);
            if (words.empty()) continue;
            // A cue the timeline cannot place is left out whole, notes it had added included, and
            // the rest of the music plays.
            const std::size_t notesBefore = score.notes.size();
            try {
                parser.Statement(words, line[0] == ' ' || line[0] == '\t', lineNumber);
            } catch (const Problem& problem) {
                if (!problem.unplaced || unplaced == nullptr) throw;
                score.notes.erase(score.notes.begin() + static_cast<std::ptrdiff_t>(notesBefore), score.notes.end());
                unplaced->push_back(source + ":" + std::to_string(lineNumber) + ": " + problem.what +
                                    "; this cue is left out of the music");
            }
        }
        std::string what;
        if (const int line = parser.Finish(what); line != 0) {
            error = source + ":" + std::to_string(line) + ": " + what;
            return false;
        }
    } catch (const Problem& problem) {
        error = source + ":" + std::to_string(std::max(lines.Number(), 1)) + ": " + problem.what;
        return false;
    }
    return true;
}

}  // namespace audio
