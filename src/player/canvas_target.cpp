#include "player/canvas_target.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include "platform/web/page.h"

bool CanvasTarget::Create(int width, int height, bool still, std::string& error)
{
    width_ = width;
    height_ = height;
    still_ = still;
    if (!page::CreateCanvas(width, height, still, error)) return false;
    // The catch-up's frames land in one pixel with a depth buffer, as the picture's would.
    unsigned int buffers[2];
    glGenFramebuffers(1, &catchUpFramebuffer_);
    glGenRenderbuffers(2, buffers);
    glBindFramebuffer(GL_FRAMEBUFFER, catchUpFramebuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, buffers[0]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA4, 1, 1);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers[0]);
    glBindRenderbuffer(GL_RENDERBUFFER, buffers[1]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, 1, 1);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, buffers[1]);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = "the browser's WebGL cannot make a framebuffer";
        return false;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return true;
}

void CanvasTarget::BindRenderTarget() { glBindFramebuffer(GL_FRAMEBUFFER, 0); }

void CanvasTarget::BindCatchUpTarget() { glBindFramebuffer(GL_FRAMEBUFFER, catchUpFramebuffer_); }

void CanvasTarget::ShowProgress(float fraction, int) { page::ShowProgress(fraction); }
