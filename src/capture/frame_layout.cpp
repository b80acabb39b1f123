#include "capture/frame_layout.h"

#include <algorithm>
#include <cstdint>

FrameLayout FitPicture(int renderWidth, int renderHeight, int frameWidth, int frameHeight)
{
    if (frameWidth <= 0 || frameHeight <= 0) frameWidth = renderWidth, frameHeight = renderHeight;
    FrameLayout layout;
    layout.frameWidth = frameWidth;
    layout.frameHeight = frameHeight;
    // Whole numbers throughout: a floating scale of 720/720 must not come out one pixel short.
    const std::int64_t widthLimited = std::int64_t(frameWidth) * renderHeight;
    const std::int64_t heightLimited = std::int64_t(frameHeight) * renderWidth;
    if (widthLimited <= heightLimited) {
        layout.pictureWidth = frameWidth;
        layout.pictureHeight = int((widthLimited + renderWidth / 2) / renderWidth);
    } else {
        layout.pictureHeight = frameHeight;
        layout.pictureWidth = int((heightLimited + renderHeight / 2) / renderHeight);
    }
    layout.pictureWidth = std::clamp(layout.pictureWidth, 1, frameWidth);
    layout.pictureHeight = std::clamp(layout.pictureHeight, 1, frameHeight);
    layout.left = (frameWidth - layout.pictureWidth) / 2;
    layout.top = (frameHeight - layout.pictureHeight) / 2;
    return layout;
}
