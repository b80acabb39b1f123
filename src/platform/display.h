// Whether a window can be shown here, and how a run that shows none gets its GL context.
#pragma once

// True when a display can be reached (an X11 or Wayland session; always on Windows), so a window
// can open.
bool DisplayAvailable();
// Chooses how a headless run gets its GL context without showing anything: SDL's offscreen driver
// on Linux; on Windows, whose offscreen driver has no GL, the ordinary driver with a hidden window.
void PrepareHeadlessVideo();
