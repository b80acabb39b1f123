// The page's sound sink: the page's script plays, through Web Audio, the frames it was handed at
// the position an anchor says (a reading of the clock and the sample frame it stood at), so the
// sound follows the picture's clock rather than its own. The program hands frames ahead of time;
// the audio callback only copies them out.
#pragma once

#include <cstdint>

namespace page {

// Starts the page's audio at sampleRate with stereo frames; false when the browser gives none.
bool OpenSound(int sampleRate);
// Interleaved stereo frames [firstFrame, firstFrame + count); a first frame that does not
// continue the last queued one starts the queue afresh.
void QueueSound(std::int64_t firstFrame, const float* samples, int count);
// The frame the piece stands at at nowMs, and whether it moves on from there.
void AnchorSound(std::uint64_t nowMs, std::int64_t frame, bool running);
// Drops what is queued (a seek, the end).
void SilenceSound();
// Hands interleaved stereo frames to the page's script as they are, for a test to read
// (tarnelvoisPage.soundSamples), instead of playing them.
void HandOverSound(const float* samples, int count);

}  // namespace page
