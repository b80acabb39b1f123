// The maker's overlay: a few lines of text in the window's top-left corner (time, frame rate,
// running effects, the timeline and its last error). Drawn into the window after the picture is
// shown there, never into the render target, and with every GL state it touches put back.
#pragma once

#include <string>
#include <vector>

struct OverlayLine {
    std::string text;
    bool alarm = false;  // shown in red: an error the maker should see
};

// Draws the lines into the framebuffer bound now, of the given size in pixels.
void DrawOverlay(const std::vector<OverlayLine>& lines, int width, int height);
