// The desktop systems both answer through SDL's loader, which knows each system's own lookup.
#include "platform/gl_lookup.h"

#include <SDL2/SDL.h>

void* LookUpGlFunction(const char* name)
{
    if (!name || !SDL_GL_GetCurrentContext()) return nullptr;
    return SDL_GL_GetProcAddress(name);
}
