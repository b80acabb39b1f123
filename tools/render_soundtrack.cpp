// Renders the soundtrack of a score and a timeline to a WAV file, whole or a span of it.
//
//   render_soundtrack --score FILE --timeline FILE --output FILE.wav [--start MS] [--end MS]
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sound/soundtrack.h"
#include "sound/wav.h"
#include "host/timeline.h"

namespace {

const char kUsage[] = "usage: render_soundtrack --score FILE --timeline FILE --output FILE.wav [--start MS] [--end MS]";

int Fail(const std::string& line) {
    std::fprintf(stderr, "render_soundtrack: %s\n", line.c_str());
    return 1;
}

bool ReadText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool Milliseconds(const std::string& word, std::int64_t& value) {
    if (word.empty() || word.size() > 9 || word.find_first_not_of("0123456789") != std::string::npos) return false;
    value = std::stoll(word);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string scorePath, timelinePath, outputPath, startWord, endWord;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        std::string* target = option == "--score" ? &scorePath : option == "--timeline" ? &timelinePath
                            : option == "--output" ? &outputPath : option == "--start" ? &startWord
                            : option == "--end" ? &endWord : nullptr;
        if (target == nullptr) return Fail("unknown option '" + option + "', " + kUsage);
        if (i + 1 >= argc) return Fail(option + " needs a value, " + kUsage);
        *target = argv[++i];
    }
    if (scorePath.empty() || timelinePath.empty() || outputPath.empty()) return Fail(std::string("missing option, ") + kUsage);

    std::string timelineText, scoreText, error;
    if (!ReadText(timelinePath, timelineText)) return Fail("cannot read the timeline " + timelinePath);
    if (!ReadText(scorePath, scoreText)) return Fail("cannot read the score " + scorePath);
    Timeline timeline;
    if (!ParseTimeline(timelineText, timelinePath, timeline, error)) return Fail(error);
    const std::unique_ptr<audio::Soundtrack> soundtrack = audio::Soundtrack::Parse(scoreText, scorePath, timeline, error);
    if (!soundtrack) return Fail(error);
    for (const std::string& warning : soundtrack->score().warnings) std::fprintf(stderr, "render_soundtrack: warning: %s\n", warning.c_str());

    std::int64_t startMs = 0, endMs = timeline.endTime;
    if (!startWord.empty() && !Milliseconds(startWord, startMs)) return Fail("--start must be whole ms, got '" + startWord + "'");
    if (!endWord.empty() && !Milliseconds(endWord, endMs)) return Fail("--end must be whole ms, got '" + endWord + "'");
    if (endMs < startMs) return Fail("--end " + std::to_string(endMs) + " is before --start " + std::to_string(startMs));

    const std::int64_t first = startMs * audio::kSampleRate / 1000;
    const std::int64_t last = endMs * audio::kSampleRate / 1000;
    audio::SoundtrackRenderer renderer(*soundtrack);
    audio::WavWriter wav;
    if (!wav.Open(outputPath, error)) return Fail(error);
    constexpr std::int64_t kChunk = 4800;
    std::vector<std::int16_t> samples(kChunk * audio::kChannels);
    for (std::int64_t at = first; at < last; at += kChunk) {
        const std::int64_t count = std::min(kChunk, last - at);
        renderer.Render(at, count, samples.data());
        if (!wav.Write(samples.data(), count, error)) return Fail(error);
    }
    if (!wav.Close(error)) return Fail(error);
    return 0;
}
