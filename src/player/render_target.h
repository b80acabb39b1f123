// Where the show draws: a picture of the render size, and a one-pixel target for the frames that
// only advance the effects' state. A window's GL context is one; the browser's canvas another.
#pragma once

class RenderTarget {
public:
    virtual ~RenderTarget() = default;

    virtual int RenderWidth() const = 0;
    virtual int RenderHeight() const = 0;
    // True when nobody watches: the loading bar is not drawn.
    virtual bool Headless() const = 0;
    // Binds the render target for drawing.
    virtual void BindRenderTarget() = 0;
    // Binds a one-pixel target for frames that only advance the effects' state (the catch-up to a
    // start time or a seek): their clears and scissored draws then cost the same at any render size.
    virtual void BindCatchUpTarget() = 0;
    // Shows a loading bar (fraction 0..1, widthPercent of the view's width).
    virtual void ShowProgress(float fraction, int widthPercent) = 0;
};
