// The GL entry-point lookup under the name the effects know, answered by SDL's loader.
#include <SDL2/SDL.h>

#include "platform/platform.h"

PROC wglGetProcAddress(const char* name)
{
    if (!name || !SDL_GL_GetCurrentContext()) return nullptr;
    return reinterpret_cast<PROC>(SDL_GL_GetProcAddress(name));
}
