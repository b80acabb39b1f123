// Reading frames back without stalling the renderer: each frame is copied into one of several
// pixel buffers on the GL side, and its pixels are taken out only when later frames have been
// queued, by which time the copy has finished.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct ReadFrame {
    std::int64_t index = 0;
    std::vector<std::uint8_t> rgb;  // top row first (BGR when the readback was asked for it)
};

class AsyncReadback {
public:
    // Reads frames of width x height. A picture size that differs scales each frame to it on the GL
    // side first (smoothly, as the window shows it), so only the picture's pixels are read.
    // bgr: the pixels in blue, green, red order.
    AsyncReadback(int width, int height, int buffersInFlight, int pictureWidth = 0, int pictureHeight = 0,
                  bool bgr = false);
    ~AsyncReadback();
    AsyncReadback(const AsyncReadback&) = delete;
    AsyncReadback& operator=(const AsyncReadback&) = delete;

    // Starts reading the framebuffer bound for reading. When every buffer is already in use, the
    // oldest read is finished first into 'done' and true is returned.
    bool Start(std::int64_t frameIndex, ReadFrame& done);
    // Finishes the oldest read in flight into 'done'; false when none is left.
    bool FinishOldest(ReadFrame& done);

private:
    // Blits the framebuffer bound for reading into the picture-sized target and binds that for reading.
    void ScaleToPicture();

    int width_, height_;  // of what is read: the picture
    int sourceWidth_, sourceHeight_;
    bool bgr_;
    unsigned int scaledFramebuffer_ = 0, scaledColor_ = 0;
    std::vector<unsigned int> buffers_;
    std::vector<std::int64_t> frames_;  // the frame in each buffer
    std::size_t oldest_ = 0, inFlight_ = 0;
};
