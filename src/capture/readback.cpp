#include "capture/readback.h"

#include "host/gl_functions.h"

#include <cstring>

AsyncReadback::AsyncReadback(int width, int height, int buffersInFlight, int pictureWidth, int pictureHeight,
                             bool bgr)
    : width_(pictureWidth > 0 ? pictureWidth : width), height_(pictureHeight > 0 ? pictureHeight : height),
      sourceWidth_(width), sourceHeight_(height), bgr_(bgr), buffers_(size_t(buffersInFlight)), frames_(size_t(buffersInFlight))
{
    if (width_ != sourceWidth_ || height_ != sourceHeight_) {
        GLint drawn = 0, read = 0;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawn);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
        glGenFramebuffers(1, &scaledFramebuffer_);
        glGenRenderbuffers(1, &scaledColor_);
        glBindRenderbuffer(GL_RENDERBUFFER, scaledColor_);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width_, height_);
        glBindFramebuffer(GL_FRAMEBUFFER, scaledFramebuffer_);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, scaledColor_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(drawn));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(read));
    }
    glGenBuffers(GLsizei(buffers_.size()), buffers_.data());
    for (unsigned int buffer : buffers_) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
        glBufferData(GL_PIXEL_PACK_BUFFER, GLsizeiptr(width_) * height_ * 3, nullptr, GL_STREAM_READ);
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

AsyncReadback::~AsyncReadback()
{
    glDeleteBuffers(GLsizei(buffers_.size()), buffers_.data());
    if (scaledFramebuffer_) glDeleteFramebuffers(1, &scaledFramebuffer_);
    if (scaledColor_) glDeleteRenderbuffers(1, &scaledColor_);
}

void AsyncReadback::ScaleToPicture()
{
    GLint drawn = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawn);
    // An effect may leave the scissor on; the whole picture is wanted.
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, scaledFramebuffer_);
    glBlitFramebuffer(0, 0, sourceWidth_, sourceHeight_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    if (scissor) glEnable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(drawn));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, scaledFramebuffer_);
}

bool AsyncReadback::Start(std::int64_t frameIndex, ReadFrame& done)
{
    const bool finished = inFlight_ == buffers_.size() && FinishOldest(done);
    const size_t slot = (oldest_ + inFlight_) % buffers_.size();
    GLint read = 0;
    if (scaledFramebuffer_) {
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
        ScaleToPicture();
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[slot]);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, bgr_ ? GL_BGR : GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    if (scaledFramebuffer_) glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(read));
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
