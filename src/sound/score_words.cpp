// Reading the score's words: strict numbers (no exponents, no units), key=value settings checked
// against the statement's own list, note names as MIDI keys, and a pattern's steps.
#include "sound/score_words.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace audio::scoring {


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

}  // namespace audio::scoring
