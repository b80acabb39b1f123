// The score: a text a person reads and edits, compiled into instruments and a list of notes in
// sample frames. The format, one statement a line ('#' starts a comment):
//
//   tempo 120                          beats a minute; a bar is four beats
//   master gain=-6                     level of the whole mix in dB
//   reverb time=1.6 return=-6          the shared reverb: its decay to -60 dB in seconds
//   echo beats=0.75 feedback=0.35 return=-8    the shared echo, its delay in beats
//   instrument NAME KIND key=value ...  a patch; KIND is fm, saw, square, kick, snare or hat
//   pattern NAME [step=1/4]            a pattern; its rows follow, indented, step is in beats
//     D2 . D3 - C3+G3 x x' x!          one token a step: a note (C4, F#3, Bb2), a chord (C4+E4),
//                                      x (the instrument's own pitch), '.' rest, '-' hold the
//                                      note before; a trailing ' plays it soft, ! accented
//   play PATTERN on INSTRUMENT from POS [to POS] [transpose=N] [gain=dB] [fadein=B] [fadeout=B]
//                                      the pattern from POS, repeated until POS (once without
//                                      "to"); fades are in beats, shaping the notes' levels
//   hit INSTRUMENT NOTE at POS [length=B] [gain=dB]    one note, for a moment of the picture
//
// A position POS is a moment of the timeline or of the bar grid, with an offset in beats:
//   start:CUBE5   stop:LINE-10   start:SCROLLER+80   end   bar:12   bar:7.5+1   start:CUBE#2
// (#N picks the N-th start or stop of an effect that runs more than once.) Moments of the
// picture are named, never copied, so the music follows when the timeline moves.
//
// The parser is strict: one mistake is one line "<source>:<line>: <what is wrong>". An instrument
// plays one pattern at a time (two play lines on one instrument must not overlap), every note
// fits in the piece with its release, and a note holds at most 32 beats. What it accepts but
// changes is said in warnings of the same form: at most kMaxVoices notes sound at once (a note
// beyond that cuts the oldest short), and a score without notes plays silent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/timeline.h"

namespace audio {

enum class PatchKind { Fm, Saw, Square, Kick, Snare, Hat };

// The sound of an instrument. Times are seconds, levels linear, frequencies Hz.
struct Patch {
    std::string name;
    PatchKind kind = PatchKind::Fm;
    double gain = 1.0;
    double pan = 0.0;       // -1 left .. 1 right
    double reverb = 0.0;    // send levels, linear
    double echo = 0.0;
    double attack = 0.005;
    double decay = 0.3;
    double sustain = 0.7;
    double release = 0.2;
    double ring = 0.0;      // exponential decay time constant over the whole note; 0: none
    double cutoff = 2000.0; // saw/square low-pass; hat high-pass; snare noise band
    double q = 0.7;
    double envelope = 0.0;  // saw/square: filter sweep in octaves above cutoff at the note's start
    double envelopeDecay = 0.2;
    double detune = 0.0;    // a second oscillator (fm: operator pair) this many cents above
    double ratio = 1.0;     // fm: modulator frequency / carrier frequency
    double index = 0.0;     // fm: modulation index (radians) at the note's start
    double indexDecay = 0.5;
    double punch = 4.0;     // kick: start frequency / end frequency
    double sweep = 0.04;    // kick: time constant of the pitch drop
    double noise = 0.5;     // snare: noise against tone
    double vibrato = 0.0;   // fm: depth in cents, at 5 Hz, growing over the first second
    double pitch = 440.0;   // the frequency of an "x" step
};

struct Note {
    std::int64_t onset = 0;   // frame of the note-on
    std::int64_t length = 0;  // frames until the note-off
    std::int64_t end = 0;     // first frame after its sound (release included)
    int patch = 0;
    double frequency = 0.0;
    double level = 1.0;       // velocity, fades and gains together
    int line = 0;             // the score's line that placed it
};

// Notes that sound at once, not counting the few milliseconds a note cut short takes to fade;
// with those, never more than twice as many. Bounds the synthesizer's work at any frame.
constexpr std::size_t kMaxVoices = 40;
// A note's last frames fade to nothing, so a sound cut where its decay is judged over, or cut
// short by a newer note, never clicks.
constexpr std::int64_t kNoteFadeFrames = 240;
// Bounds the memory a score may take: far more notes than a piece of music has.
constexpr std::size_t kMaxNotes = 1000000;

struct Score {
    double tempo = 120.0;
    double masterGain = 1.0;
    double reverbSeconds = 1.6;
    double reverbReturn = 0.5;
    double echoBeats = 0.75;
    double echoFeedback = 0.35;
    double echoReturn = 0.4;
    std::vector<Patch> patches;
    std::vector<Note> notes;  // ordered by onset, then by the order they were written
    std::int64_t frames = 0;  // length of the piece: the timeline's end
    std::vector<std::string> warnings;  // "<source>:<line>: <what>", each one line
};

// Parses the text and resolves its positions against timeline. On failure returns false with
// error set to "<source>:<line>: <what is wrong>"; a word quoted in it is cut to about 40
// characters. With a list for them, cues whose moments this timeline lacks (or puts past its end,
// or in an order that cannot be played) are left out and listed there in the same form instead: a
// timeline edited on its own still gets its music.
bool ParseScore(const std::string& text, const std::string& source, const Timeline& timeline, Score& score,
                std::string& error, std::vector<std::string>* unplaced = nullptr);

}  // namespace audio
