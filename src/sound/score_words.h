// The score's words: numbers, settings, note names and pattern steps, read one word at a time.
// Shared by the parts of the score's parser; a mistake is thrown as a Problem with its message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace audio::scoring {

constexpr double kMaxHoldBeats = 32.0;
constexpr double kDefaultVelocity = 0.8;
constexpr double kSoftVelocity = 0.5;
constexpr double kAccentVelocity = 1.0;
// A fade never silences a note completely: the first note of a swell is still heard.
constexpr double kFadeFloor = 0.1;

// A mistake in the score, with what is wrong; the parser adds the file and line.
struct Problem {
    std::string what;
    // The cue asks for a moment this timeline does not give (an effect taken out, a start moved
    // past its stop, the end brought forward): the score itself may be fine.
    bool unplaced = false;
};

// One step of a pattern: a rest, a hold of the note before, or notes (kOwnPitch: the
// instrument's own pitch).
constexpr int kOwnPitch = -1000;
struct Step {
    enum class Kind { Rest, Hold, Notes } kind = Kind::Rest;
    std::vector<int> keys;
    double velocity = kDefaultVelocity;
};

struct Pattern {
    double stepBeats = 0.25;
    std::vector<Step> steps;
    int line = 0;
};

// Where an instrument plays a pattern, in sample frames: an instrument plays one at a time.
struct Span {
    std::int64_t from = 0;
    std::int64_t to = 0;
    int line = 0;
    bool movesWithTheTimeline = false;
};

// True for a position that names a moment of the timeline (start:EFFECT, stop:EFFECT).
bool NamesAMoment(const std::string& word);

std::vector<std::string> Words(const std::string& line);

bool IsDigit(char c);

// Digits, optionally a point and more digits; a sign only where allowed. No exponents, no units:
// "4ms" or "1e3" in a score is a mistake worth a message.
std::optional<double> Decimal(const std::string& word, bool signedAllowed);

double Number(const std::string& key, const std::string& word, bool signedAllowed, double low, double high);

double Decibels(double db);

// "key=value" settings after the fixed words of a statement.
std::map<std::string, std::string> Settings(const std::vector<std::string>& words, std::size_t from,
                                            const std::vector<std::string>& known, const std::string& what);

// A note name (C4, F#3, Bb2; octave -1..9) as a MIDI key number.
std::optional<int> Key(const std::string& name);

double Frequency(double key);

Step ParseStep(const std::string& token);

}  // namespace audio::scoring
