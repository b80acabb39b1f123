// The score's statements: tempo, master, reverb, echo, instrument and pattern set the sound up;
// play and hit are handed to the placement of notes.
#include "sound/score_parser.h"

#include <algorithm>
#include <sstream>

#include "sound/effects.h"

namespace audio::scoring {

Parser::Parser(const Timeline& timeline, Score& score) : timeline_(timeline), score_(score) {
    score_ = Score();
    score_.frames = static_cast<std::int64_t>(timeline.endTime) * kSampleRate / 1000;
}

void Parser::Statement(const std::vector<std::string>& words, bool indented, int line) {
    line_ = line;
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

int Parser::Finish(std::string& what) {
    for (const auto& [name, pattern] : patterns_) {
        if (pattern.steps.empty()) { what = "pattern " + name + " has no steps"; return pattern.line; }
    }
    if (const double echo = Effects::EchoSeconds(score_.echoBeats, score_.echoFeedback, score_.tempo);
        echo > Effects::kLongestEchoSeconds) {
        std::ostringstream message;
        message.precision(3);
        message << "the echo's repeats ring for " << echo << " s before they are 40 dB down; at most "
                << Effects::kLongestEchoSeconds << " s (fewer beats or less feedback)";
        what = message.str();
        return std::max(echoLine_, 1);
    }
    std::stable_sort(score_.notes.begin(), score_.notes.end(),
                     [](const Note& a, const Note& b) { return a.onset < b.onset; });
    if (score_.notes.empty()) warnings_.emplace_back(std::max(line_, 1), "the score places no notes: the soundtrack is silence");
    LimitVoices(score_.notes, warnings_);
    return 0;
}

void Parser::Tempo(const std::vector<std::string>& words) {
    if (words.size() != 2) throw Problem{"tempo takes one number, the beats a minute"};
    if (tempoSet_) throw Problem{"tempo given twice"};
    if (anyPosition_) throw Problem{"tempo must come before the first position"};
    score_.tempo = Number("tempo", words[1], false, 40, 300);
    tempoSet_ = true;
}

void Parser::Master(const std::vector<std::string>& words) {
    auto settings = Settings(words, 1, {"gain"}, "master");
    if (settings.count("gain")) score_.masterGain = Decibels(Number("gain", settings["gain"], true, -60, 24));
}

void Parser::Reverb(const std::vector<std::string>& words) {
    auto settings = Settings(words, 1, {"time", "return"}, "reverb");
    // Longer tails would reach past the effects' warm-up and be cut short.
    if (settings.count("time")) score_.reverbSeconds = Number("time", settings["time"], false, 0.1, 2.5);
    if (settings.count("return")) score_.reverbReturn = Decibels(Number("return", settings["return"], true, -60, 12));
}

void Parser::Echo(const std::vector<std::string>& words) {
    echoLine_ = line_;
    auto settings = Settings(words, 1, {"beats", "feedback", "return"}, "echo");
    if (settings.count("beats")) score_.echoBeats = Number("beats", settings["beats"], false, 0.0625, 2);
    if (settings.count("feedback")) score_.echoFeedback = Number("feedback", settings["feedback"], false, 0, 0.7);
    if (settings.count("return")) score_.echoReturn = Decibels(Number("return", settings["return"], true, -60, 12));
}

void Parser::Instrument(const std::vector<std::string>& words) {
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

void Parser::PatternHeader(const std::vector<std::string>& words, int line) {
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

}  // namespace audio::scoring
