// The window (or, headless, an invisible surface) and its GL context. The demo draws into an
// offscreen framebuffer of the render size; Present scales that picture into the window with its
// aspect kept, so resizing the window never changes what the effects compute.
#pragma once

#include <functional>
#include <string>

#include "player/render_target.h"

struct SDL_Window;
typedef void* SDL_GLContext;

struct ContextSettings {
    std::string title;
    int renderWidth = 1024;
    int renderHeight = 768;
    bool headless = false;
    bool fullscreen = false;
    bool resizable = true;
    bool vsync = true;
    bool hideCursorInFullscreen = true;
    bool keepAspect = true;  // black bars rather than a stretched picture
};

class GlContext : public RenderTarget {
public:
    ~GlContext() override;
    // Opens the window (or the offscreen surface) and a compatibility-profile context, and makes
    // the render target. On failure returns false with error set to one line.
    bool Create(const ContextSettings& settings, std::string& error);
    void Destroy();

    bool Headless() const override { return settings_.headless; }
    int RenderWidth() const override { return settings_.renderWidth; }
    int RenderHeight() const override { return settings_.renderHeight; }

    // Binds the render target for drawing; the effects draw between this and Present.
    void BindRenderTarget() override;
    // Binds a one-pixel target for frames that only advance the effects' state (the catch-up to a
    // start time or a seek): their clears and scissored draws then cost the same at any render size.
    void BindCatchUpTarget() override;
    // Copies the render target into the window, scaled to fit with black bars, and swaps. drawOver,
    // when given, draws into the window (framebuffer 0, its drawable size) before the swap, so what
    // it draws is never part of the render target that captures and screenshots read.
    void Present(const std::function<void(int width, int height)>& drawOver = nullptr);
    // Draws a loading bar (fraction 0..1, widthPercent of the window) in the window and swaps.
    void ShowProgress(float fraction, int widthPercent) override;

    void SetFullscreen(bool fullscreen);
    bool Fullscreen() const { return fullscreen_; }
    SDL_Window* Window() const { return window_; }

private:
    ContextSettings settings_;
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    unsigned int framebuffer_ = 0;
    unsigned int colorBuffer_ = 0;
    unsigned int depthBuffer_ = 0;
    unsigned int catchUpFramebuffer_ = 0;
    unsigned int catchUpBuffers_[2] = {0, 0};
    bool fullscreen_ = false;
    bool videoStarted_ = false;
};
