// The soundtrack: a text score (the archive's score.txt, beside the timeline) and the synthesizer
// that plays it. Knows nothing of GL, windows or audio devices: the samples are a pure function of
// the score, the timeline's moments the score names, and the sample position.
//
// Who may call what: a Soundtrack is immutable once parsed and may be shared between threads; a
// SoundtrackRenderer belongs to the one thread that renders with it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "sound/score.h"
#include "host/timeline.h"

namespace audio {

constexpr int kSampleRate = 48000;
constexpr int kChannels = 2;

// The Synthesis ToolKit's release the synthesizer was built with ("4.6.2"), or "unknown".
const char* SynthesizerVersion();

class Soundtrack {
public:
    // Parses and checks the score; moments that name timeline events ("the start of CUBE5") are
    // resolved against timeline. On failure returns null with error set to one line
    // "<source>:<line>: <what is wrong>". Cues the timeline cannot place: see ParseScore.
    static std::unique_ptr<Soundtrack> Parse(const std::string& text, const std::string& source,
                                             const Timeline& timeline, std::string& error,
                                             std::vector<std::string>* unplaced = nullptr);
    virtual ~Soundtrack() = default;

    // Length of the piece in sample frames (a frame holds one sample per channel): the timeline's
    // end.
    virtual std::int64_t Frames() const { return score_.frames; }

    const Score& score() const { return score_; }

protected:
    Soundtrack() = default;

private:
    Score score_;
};

// Plays a soundtrack, which must outlive it.
class SoundtrackRenderer {
public:
    explicit SoundtrackRenderer(const Soundtrack& soundtrack);
    ~SoundtrackRenderer();

    // Writes count frames starting at frame first into out (2 * count interleaved 16-bit values,
    // left first). The same values come out however the span is cut into calls and wherever
    // rendering starts; frames before 0 or past the end are silence. Following calls that continue
    // where the last one stopped are cheap; a jump costs a short, bounded warm-up.
    void Render(std::int64_t first, std::int64_t count, std::int16_t* out);

    // How much the master's limiter did in the frames rendered so far (warm-ups included).
    struct Limiting {
        std::int64_t frames = 0;  // frames it turned down
        double deepestDb = 0;
    };
    Limiting Limited() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace audio
