// The calls into the page's script (index.html's tarnelvoisSound), which owns the audio context.
#include "platform/web/page_sound.h"

#include <emscripten.h>

namespace page {

// clang-format off
EM_JS(int, SoundOpen, (int sampleRate), {
    const sound = globalThis.tarnelvoisSound;
    return sound ? sound.open(sampleRate) : 0;
});
EM_JS(void, SoundQueue, (double firstFrame, const float* samples, int count), {
    const sound = globalThis.tarnelvoisSound;
    if (sound) sound.queue(firstFrame, HEAPF32.subarray(samples >> 2, (samples >> 2) + 2 * count));
});
EM_JS(void, SoundAnchor, (double nowMs, double frame, int running), {
    const sound = globalThis.tarnelvoisSound;
    if (sound) sound.anchor(nowMs, frame, running != 0);
});
EM_JS(void, SoundSilence, (), {
    const sound = globalThis.tarnelvoisSound;
    if (sound) sound.silence();
});
EM_JS(void, SoundHandOver, (const float* samples, int count), {
    if (globalThis.tarnelvoisPage)
        tarnelvoisPage.soundSamples = Array.from(HEAPF32.subarray(samples >> 2, (samples >> 2) + 2 * count));
});
// clang-format on

bool OpenSound(int sampleRate) { return SoundOpen(sampleRate) != 0; }
void QueueSound(std::int64_t firstFrame, const float* samples, int count) { SoundQueue(double(firstFrame), samples, count); }
void AnchorSound(std::uint64_t nowMs, std::int64_t frame, bool running) { SoundAnchor(double(nowMs), double(frame), running); }
void SilenceSound() { SoundSilence(); }
void HandOverSound(const float* samples, int count) { SoundHandOver(samples, count); }

}  // namespace page
