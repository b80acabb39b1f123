#include "host/gl/readback.h"

#include "host/gl/gl_functions.h"

#include <cstring>

AsyncReadback::AsyncReadback(int width, int height, int buffersInFlight)
    : width_(width), height_(height), buffers_(size_t(buffersInFlight)), frames_(size_t(buffersInFlight))
{
    glGenBuffers(GLsizei(buffers_.size()), buffers_.data());
    for (unsigned int buffer : buffers_) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
        glBufferData(GL_PIXEL_PACK_BUFFER, GLsizeiptr(width) * height * 3, nullptr, GL_STREAM_READ);
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

AsyncReadback::~AsyncReadback() { glDeleteBuffers(GLsizei(buffers_.size()), buffers_.data()); }

bool AsyncReadback::Start(std::int64_t frameIndex, ReadFrame& done)
{
    const bool finished = inFlight_ == buffers_.size() && FinishOldest(done);
    const size_t slot = (oldest_ + inFlight_) % buffers_.size();
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[slot]);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    frames_[slot] = frameIndex;
    ++inFlight_;
    return finished;
}

bool AsyncReadback::FinishOldest(ReadFrame& done)
{
    if (inFlight_ == 0) return false;
    const size_t rowBytes = size_t(width_) * 3;
    done.index = frames_[oldest_];
    done.rgb.resize(rowBytes * size_t(height_));
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[oldest_]);
    // GL's rows run bottom up; the copy out turns them the right way at no extra cost.
    auto copyRows = [&](const std::uint8_t* bottomUp) {
        for (int y = 0; y < height_; ++y)
            std::memcpy(done.rgb.data() + size_t(height_ - 1 - y) * rowBytes, bottomUp + size_t(y) * rowBytes,
                        rowBytes);
    };
    if (const void* mapped = glMapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY)) {
        copyRows(static_cast<const std::uint8_t*>(mapped));
        glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
    } else {
        // A driver that will not map the buffer still copies out of it.
        std::vector<std::uint8_t> bottomUp(done.rgb.size());
        glGetBufferSubData(GL_PIXEL_PACK_BUFFER, 0, GLsizeiptr(bottomUp.size()), bottomUp.data());
        copyRows(bottomUp.data());
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    oldest_ = (oldest_ + 1) % buffers_.size();
    --inFlight_;
    return true;
}
