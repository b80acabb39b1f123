// The soundtrack's score, read from the data archive beside the timeline and checked against it
// before any window opens.
#pragma once

#include <memory>
#include <string>

#include "sound/soundtrack.h"
#include "host/archive.h"
#include "host/timeline.h"

// The archive's entry that holds the score.
constexpr const char* kScoreEntry = "score.txt";

// Reads and parses the archive's score. False, with error set to one line ("<archive>:score.txt:
// <line>: what is wrong"), when the score is there but cannot be read or played. True with a null
// soundtrack when the archive has none (an archive made before the music).
bool LoadScore(const Archive& archive, const Timeline& timeline, std::unique_ptr<audio::Soundtrack>& soundtrack,
               std::string& error);
