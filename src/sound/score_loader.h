// The soundtrack's score, read from the data archive beside the timeline and checked against it
// before any window opens.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sound/soundtrack.h"
#include "host/archive.h"
#include "host/timeline.h"

// The archive's entry that holds the score.
constexpr const char* kScoreEntry = "score.txt";
// The path of the file the score was packed from, one line, so that messages name the file the
// user edits rather than the archive's copy of it.
constexpr const char* kScoreSourceEntry = "score.source";

// How messages name the archive's score: its recorded source path, else "<archive>:score.txt".
std::string ScoreSourceName(const Archive& archive);

// Reads and parses the archive's score. False, with error set to one line ("<source>:<line>: what
// is wrong"), when the score is there but cannot be read or played. True with a null soundtrack
// when the archive has none (an archive made before the music). Cues whose moments this timeline
// lacks are left out of the music, each one line in unplaced.
bool LoadScore(const Archive& archive, const Timeline& timeline, std::unique_ptr<audio::Soundtrack>& soundtrack,
               std::string& error, std::vector<std::string>& unplaced);
