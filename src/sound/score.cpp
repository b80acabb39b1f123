// The score's text: statements read line by line, positions resolved against the timeline, and
// the arrangement expanded into notes in sample frames.
#include "sound/score.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <sstream>

#include "sound/score_parser.h"
#include "sound/soundtrack.h"
#include "host/text_lines.h"

namespace audio {

bool ParseScore(const std::string& text, const std::string& source, const Timeline& timeline, Score& score,
                std::string& error, std::vector<std::string>* unplaced) {
    scoring::Parser parser(timeline, score);
    TextLines lines(text);
    try {
        for (std::string line; lines.Next(line);) {
            const int lineNumber = lines.Number();
            for (unsigned char c : line) {
                if ((c < 0x20 && c != '\t') || c == 0x7F) throw scoring::Problem{"not a text file"};
            }
            // A comment starts at a '#' that begins a word; "start:CUBE#2" keeps its '#'.
            for (std::size_t at = 0; at < line.size(); ++at) {
                if (line[at] == '#' && (at == 0 || line[at - 1] == ' ' || line[at - 1] == '\t')) { line.erase(at); break; }
            }
            const std::vector<std::string> words = scoring::Words(line);
            if (words.empty()) continue;
            // A cue the timeline cannot place is left out whole, notes it had added included, and
            // the rest of the music plays.
            const std::size_t notesBefore = score.notes.size();
            try {
                parser.Statement(words, line[0] == ' ' || line[0] == '\t', lineNumber);
            } catch (const scoring::Problem& problem) {
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
    } catch (const scoring::Problem& problem) {
        error = source + ":" + std::to_string(std::max(lines.Number(), 1)) + ": " + problem.what;
        return false;
    }
    return true;
}

}  // namespace audio
