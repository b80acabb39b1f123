// One sounding note: an oscillator, envelope and filter built from its patch at the note-on.
// A voice's samples depend only on its note and the number of samples since the note-on, so a
// voice made afresh and advanced to any moment sounds exactly as one that played all along.
#pragma once

#include <cstdint>
#include <memory>

#include "sound/score.h"

namespace audio {

class Voice {
public:
    virtual ~Voice() = default;
    // The next mono sample, before the note's level and panning.
    virtual double Tick() = 0;
};

// seed picks the voice's own noise; the same note must always get the same seed.
std::unique_ptr<Voice> MakeVoice(const Patch& patch, const Note& note, std::uint32_t seed);

// Prepares the synthesis library for this sample rate; safe to call from any thread, any number
// of times (its sine table and rate are shared by every voice).
void PrepareSynthesis();

}  // namespace audio
