#include "platform/display.h"

// A Windows session always has a desktop to open windows on.
bool DisplayAvailable() { return true; }

// The window is created hidden and the picture lives in the render target, so nothing shows.
void PrepareHeadlessVideo() {}
