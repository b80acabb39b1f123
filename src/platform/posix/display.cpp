#include <SDL2/SDL.h>

#include <cstdlib>
#include <string>

#include "platform/display.h"

bool DisplayAvailable()
{
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && std::string(driver) == "offscreen") return false;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

void PrepareHeadlessVideo() { SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen"); }
