// Reading frames back without stalling the renderer: each frame is copied into one of several
// pixel buffers on the GL side, and its pixels are taken out only when later frames have been
// queued, by which time the copy has finished.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct ReadFrame {
    std::int64_t index = 0;
    std::vector<std::uint8_t> rgb;  // top row first
};

class AsyncReadback {
public:
    AsyncReadback(int width, int height, int buffersInFlight);
    ~AsyncReadback();
    AsyncReadback(const AsyncReadback&) = delete;
    AsyncReadback& operator=(const AsyncReadback&) = delete;

    // Starts reading the framebuffer bound for reading. When every buffer is already in use, the
    // oldest read is finished first into 'done' and true is returned.
    bool Start(std::int64_t frameIndex, ReadFrame& done);
    // Finishes the oldest read in flight into 'done'; false when none is left.
    bool FinishOldest(ReadFrame& done);

private:
    int width_, height_;
    std::vector<unsigned int> buffers_;
    std::vector<std::int64_t> frames_;  // the frame in each buffer
    std::size_t oldest_ = 0, inFlight_ = 0;
};
