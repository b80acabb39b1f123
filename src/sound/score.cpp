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
namespace {

// A word longer than this is quoted by its beginning: a line of a message stays readable even when
// the score holds a megabyte without a space.
constexpr std::size_t kShownWordChars = 40;

std::string Shortened(const std::string& message) {
    std::string shown;
    std::size_t at = 0;
    while (at < message.size()) {
        const std::size_t end = std::min(message.find(' ', at), message.size());
        std::string word = message.substr(at, end - at);
        if (word.size() > kShownWordChars + 3) {
            // Keep the quotes or brackets around it, so the message still reads as written.
            const std::size_t opening = word[0] == '\'' || word[0] == '(' ? 1 : 0;
            const char last = word.back();
            word = word.substr(0, opening + kShownWordChars) + "..." +
                   (last == '\'' || last == ')' || last == ',' ? std::string(1, last) : "");
        }
        shown += word;
        if (end < message.size()) shown += ' ';
        at = end + 1;
    }
    return shown;
}

}  // namespace

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
            error = source + ":" + std::to_string(line) + ": " + Shortened(what);
            return false;
        }
    } catch (const scoring::Problem& problem) {
        error = source + ":" + std::to_string(std::max(lines.Number(), 1)) + ": " + Shortened(problem.what);
        return false;
    }
    for (const auto& [line, what] : parser.Warnings()) {
        score.warnings.push_back(source + ":" + std::to_string(line) + ": " + Shortened(what));
    }
    return true;
}

}  // namespace audio
