// Where the rendered picture sits in a captured frame of another size: centred, its aspect kept,
// scaled to the largest size that fits (as the window shows it), black bars around it.
#pragma once

struct FrameLayout {
    int frameWidth = 0, frameHeight = 0;      // what is written
    int pictureWidth = 0, pictureHeight = 0;  // the render, scaled to fit
    int left = 0, top = 0;                    // the picture's top-left corner in the frame

    bool HasBars() const { return pictureWidth != frameWidth || pictureHeight != frameHeight; }
};

// The layout of a render of renderWidth x renderHeight in a frame of frameWidth x frameHeight. A
// render that matches the frame in one side is not scaled at all, so its pixels reach the frame
// unchanged; a render that shares no side with the frame is scaled, up or down. A frame side of 0
// is the render's own.
FrameLayout FitPicture(int renderWidth, int renderHeight, int frameWidth, int frameHeight);
