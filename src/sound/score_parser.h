// The score's parser: one statement at a time, its instruments, patterns and settings, and the
// notes its play and hit statements place on the timeline's moments.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/timeline.h"
#include "sound/score.h"
#include "sound/score_words.h"
#include "sound/soundtrack.h"

namespace audio::scoring {

class Parser {
public:
    // Fills score (emptied first) from the statements that follow.
    Parser(const Timeline& timeline, Score& score);
    void Statement(const std::vector<std::string>& words, bool indented, int line);
    // Problems only visible once the whole text is read; the line of the culprit, or 0.
    int Finish(std::string& what);
    // What was accepted but changed or is likely a slip: the line and what.
    const std::vector<std::pair<int, std::string>>& Warnings() const { return warnings_; }

private:
    void Tempo(const std::vector<std::string>& words);
    void Master(const std::vector<std::string>& words);
    void Reverb(const std::vector<std::string>& words);
    void Echo(const std::vector<std::string>& words);
    void Instrument(const std::vector<std::string>& words);
    void PatternHeader(const std::vector<std::string>& words, int line);

    // The placement of notes (score_placement.cpp).
    int PatchNamed(const std::string& name) const;
    // "start:CUBE5+2", "stop:LINE#2-4", "end", "bar:12.5" in frames.
    std::int64_t Position(const std::string& word);
    std::int32_t EventTime(const std::string& base) const;
    // Frames of sound after the note-on: the note, its release, capped where the decay has died.
    std::int64_t SoundFrames(const Patch& patch, std::int64_t length) const;
    void AddNote(int patchIndex, double key, std::int64_t onset, std::int64_t length, double level);
    void Play(const std::vector<std::string>& words, int line);
    void Hit(const std::vector<std::string>& words);
    double FramesPerBeat() const { return kSampleRate * 60.0 / score_.tempo; }

    const Timeline& timeline_;
    Score& score_;
    std::map<std::string, int> patchIndex_;
    std::map<std::string, Pattern> patterns_;
    std::map<int, std::map<std::int64_t, Span>> spans_;  // by instrument, then by start
    Pattern* pattern_ = nullptr;
    bool tempoSet_ = false;
    bool anyPosition_ = false;
    int line_ = 0;  // of the statement being read
    int echoLine_ = 0;
    std::vector<std::pair<int, std::string>> warnings_;
};

// Holds the notes (ordered by onset) to kMaxVoices at once: a note that would exceed it cuts the
// oldest one short (or replaces it outright when both start together). One warning for each line
// whose notes did so.
void LimitVoices(std::vector<Note>& notes, std::vector<std::pair<int, std::string>>& warnings);

}  // namespace audio::scoring
