// The browser's render target: the page's canvas itself, at the render size (the page scales it
// to the window with CSS), and a one-pixel framebuffer for the catch-up frames.
#pragma once

#include <string>

#include "player/render_target.h"

class CanvasTarget : public RenderTarget {
public:
    // Sizes the canvas and makes its WebGL context current. still: a single picture that stays in
    // the canvas for a screenshot. False with error set to one line when the browser has no WebGL.
    bool Create(int width, int height, bool still, std::string& error);

    int RenderWidth() const override { return width_; }
    int RenderHeight() const override { return height_; }
    bool Headless() const override { return still_; }
    void BindRenderTarget() override;
    void BindCatchUpTarget() override;
    void ShowProgress(float fraction, int widthPercent) override;

private:
    int width_ = 0, height_ = 0;
    bool still_ = false;
    unsigned int catchUpFramebuffer_ = 0;
};
