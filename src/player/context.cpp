#include "player/context.h"

#include "platform/display.h"

#include "host/gl_functions.h"
#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

bool FramebufferComplete() { return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE; }

// The display the environment names, for the message when it cannot be reached.
std::string DisplayName()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return x11 && *x11 ? x11 : wayland && *wayland ? wayland : "";
}

// SDL falls through its drivers when the display is gone (a DISPLAY left behind by an SSH or tmux
// session) and may land on one that shows nothing; a window run must end up on a real display,
// unless SDL_VIDEODRIVER asked for that driver by name.
bool ShowsWindows(const char* driver)
{
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (asked && *asked) return true;
    const std::string name = driver ? driver : "";
    return name != "offscreen" && name != "dummy" && name != "evdev";
}

}  // namespace

GlContext::~GlContext() { Destroy(); }

bool GlContext::Create(const ContextSettings& settings, std::string& error)
{
    settings_ = settings;
    if (settings.headless) PrepareHeadlessVideo();
    SDL_SetMainReady();  // the program has its own entry function, not SDL's
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = settings.headless ? std::string("cannot start the video system: ") + SDL_GetError()
                                  : "cannot open display " + DisplayName() + " (" + SDL_GetError() + ")";
        return false;
    }
    videoStarted_ = true;
    if (!settings.headless && !ShowsWindows(SDL_GetCurrentVideoDriver())) {
        error = "cannot open display " + DisplayName() + "; with no display, use --headless with --capture";
        return false;
    }

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);

    Uint32 flags = SDL_WINDOW_OPENGL;
    int windowWidth = settings.renderWidth, windowHeight = settings.renderHeight;
    if (settings.headless) {
        flags |= SDL_WINDOW_HIDDEN;
        windowWidth = windowHeight = 16;  // the picture lives in the render target, not here
    } else {
        if (settings.resizable) flags |= SDL_WINDOW_RESIZABLE;
        SDL_DisplayMode desktop;
        if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
            // A render size larger than the screen opens a window that fits, aspect kept.
            float scale = std::min(1.0f, std::min(0.9f * desktop.w / windowWidth, 0.9f * desktop.h / windowHeight));
            windowWidth = std::max(64, int(windowWidth * scale));
            windowHeight = std::max(64, int(windowHeight * scale));
        }
    }
    window_ = SDL_CreateWindow(settings.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, windowWidth,
                               windowHeight, flags);
    if (!window_) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    context_ = SDL_GL_CreateContext(window_);
    if (!context_) {
        error = std::string("cannot create an OpenGL context: ") + SDL_GetError();
        return false;
    }
    SDL_GL_MakeCurrent(window_, context_);
    if (!settings.headless) SDL_GL_SetSwapInterval(settings.vsync ? 1 : 0);
    std::string missing;
    if (!LoadGlFunctions(missing)) {
        error = "this OpenGL has no " + missing + " (framebuffer and pixel-buffer objects are needed)";
        return false;
    }

    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    if (settings.renderWidth > maxSize || settings.renderHeight > maxSize) {
        error = "--size " + std::to_string(settings.renderWidth) + "x" + std::to_string(settings.renderHeight) +
                " is larger than this OpenGL can render (at most " + std::to_string(maxSize) + " a side)";
        return false;
    }
    glGenFramebuffers(1, &framebuffer_);
    glGenRenderbuffers(1, &colorBuffer_);
    glGenRenderbuffers(1, &depthBuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, colorBuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, settings.renderWidth, settings.renderHeight);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, settings.renderWidth, settings.renderHeight);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
    if (!FramebufferComplete()) {
        error = "cannot make a render target of " + std::to_string(settings.renderWidth) + "x" +
                std::to_string(settings.renderHeight);
        return false;
    }
    // The first frame finds a black picture, as a fresh window would show.
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    if (settings.fullscreen) SetFullscreen(true);
    return true;
}

void GlContext::Destroy()
{
    if (context_) {
        SDL_GL_MakeCurrent(window_, context_);
        if (catchUpFramebuffer_ && catchUpFramebuffer_ != framebuffer_) glDeleteFramebuffers(1, &catchUpFramebuffer_);
        if (framebuffer_) glDeleteFramebuffers(1, &framebuffer_);
        if (colorBuffer_) glDeleteRenderbuffers(1, &colorBuffer_);
        if (depthBuffer_) glDeleteRenderbuffers(1, &depthBuffer_);
        framebuffer_ = colorBuffer_ = depthBuffer_ = 0;
        glDeleteRenderbuffers(2, catchUpBuffers_);
        catchUpFramebuffer_ = catchUpBuffers_[0] = catchUpBuffers_[1] = 0;
        SDL_GL_DeleteContext(context_);
        context_ = nullptr;
    }
    if (window_) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
    if (videoStarted_) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        videoStarted_ = false;
    }
}

void GlContext::BindRenderTarget() { glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_); }

void GlContext::BindCatchUpTarget()
{
    if (!catchUpFramebuffer_) {
        glGenRenderbuffers(2, catchUpBuffers_);
        glBindRenderbuffer(GL_RENDERBUFFER, catchUpBuffers_[0]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 1, 1);
        glBindRenderbuffer(GL_RENDERBUFFER, catchUpBuffers_[1]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, 1, 1);
        glGenFramebuffers(1, &catchUpFramebuffer_);
        glBindFramebuffer(GL_FRAMEBUFFER, catchUpFramebuffer_);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, catchUpBuffers_[0]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, catchUpBuffers_[1]);
        // Should a driver refuse so small a target, the full one does the same work, only slower.
        if (!FramebufferComplete()) {
            glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
            glDeleteFramebuffers(1, &catchUpFramebuffer_);
            catchUpFramebuffer_ = framebuffer_;
            return;
        }
    }
    glBindFramebuffer(GL_FRAMEBUFFER, catchUpFramebuffer_);
}

void GlContext::Present(const std::function<void(int width, int height)>& drawOver)
{
    if (settings_.headless) return;
    int windowWidth = 0, windowHeight = 0;
    SDL_GL_GetDrawableSize(window_, &windowWidth, &windowHeight);
    if (windowWidth <= 0 || windowHeight <= 0) return;  // minimised

    // Fit the picture inside the window, aspect kept; the rest stays black.
    double scale = std::min(double(windowWidth) / settings_.renderWidth, double(windowHeight) / settings_.renderHeight);
    int shownWidth = settings_.keepAspect ? std::max(1, int(settings_.renderWidth * scale)) : windowWidth;
    int shownHeight = settings_.keepAspect ? std::max(1, int(settings_.renderHeight * scale)) : windowHeight;
    int left = (windowWidth - shownWidth) / 2, bottom = (windowHeight - shownHeight) / 2;

    GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    GLfloat clearColor[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, windowWidth, windowHeight);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBlitFramebuffer(0, 0, settings_.renderWidth, settings_.renderHeight, left, bottom, left + shownWidth,
                      bottom + shownHeight, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
    if (scissor) glEnable(GL_SCISSOR_TEST);
    if (drawOver) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        drawOver(windowWidth, windowHeight);
    }
    SDL_GL_SwapWindow(window_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

void GlContext::ShowProgress(float fraction, int widthPercent)
{
    if (settings_.headless) return;
    int windowWidth = 0, windowHeight = 0;
    SDL_GL_GetDrawableSize(window_, &windowWidth, &windowHeight);
    if (windowWidth <= 0 || windowHeight <= 0) return;
    fraction = std::clamp(fraction, 0.0f, 1.0f);
    widthPercent = std::clamp(widthPercent, 10, 100);
    int barWidth = windowWidth * widthPercent / 100;
    int barHeight = std::max(4, windowHeight / 60);
    int left = (windowWidth - barWidth) / 2, bottom = windowHeight / 2 - barHeight / 2;

    // Scissored clears draw the bar without touching any state the effects will find.
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT | GL_ENABLE_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(left, bottom, barWidth, barHeight);
    glClearColor(0.25f, 0.25f, 0.3f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(left, bottom, int(barWidth * fraction), barHeight);
    glClearColor(0.85f, 0.85f, 0.95f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glPopAttrib();
    SDL_GL_SwapWindow(window_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

void GlContext::SetFullscreen(bool fullscreen)
{
    if (settings_.headless || !window_) return;
    SDL_SetWindowFullscreen(window_, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    if (settings_.hideCursorInFullscreen) SDL_ShowCursor(fullscreen ? SDL_DISABLE : SDL_ENABLE);
    fullscreen_ = fullscreen;
}
