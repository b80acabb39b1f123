// The GL entry-point lookup under the name the effects know.
#include "platform/gl_lookup.h"
#include "platform/platform.h"

PROC wglGetProcAddress(const char* name) { return reinterpret_cast<PROC>(LookUpGlFunction(name)); }
