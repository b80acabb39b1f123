// GL entry points in the browser: WebGL's functions are linked in, not looked up, so the names the
// program asks for are answered from a table; the ARB multitexture names get the shim's.
#include "platform/gl_lookup.h"
#include "platform/platform.h"

#include <GL/gl.h>

#include <cstring>

#include "platform/web/gl_shim.h"

namespace {

struct Entry {
    const char* name;
    void* address;
};

#define TARNELVOIS_ENTRY(name) {#name, reinterpret_cast<void*>(&name)}
const Entry kEntries[] = {
    TARNELVOIS_ENTRY(glGenFramebuffers),
    TARNELVOIS_ENTRY(glDeleteFramebuffers),
    TARNELVOIS_ENTRY(glBindFramebuffer),
    TARNELVOIS_ENTRY(glCheckFramebufferStatus),
    TARNELVOIS_ENTRY(glFramebufferRenderbuffer),
    TARNELVOIS_ENTRY(glGenRenderbuffers),
    TARNELVOIS_ENTRY(glDeleteRenderbuffers),
    TARNELVOIS_ENTRY(glBindRenderbuffer),
    TARNELVOIS_ENTRY(glRenderbufferStorage),
    TARNELVOIS_ENTRY(glGenBuffers),
    TARNELVOIS_ENTRY(glDeleteBuffers),
    TARNELVOIS_ENTRY(glBindBuffer),
    TARNELVOIS_ENTRY(glBufferData),
    {"glActiveTextureARB", reinterpret_cast<void*>(&web_glActiveTextureARB)},
    {"glMultiTexCoord2fARB", reinterpret_cast<void*>(&web_glMultiTexCoord2fARB)},
};
#undef TARNELVOIS_ENTRY

}  // namespace

void* LookUpGlFunction(const char* name)
{
    if (!name) return nullptr;
    for (const Entry& entry : kEntries)
        if (std::strcmp(entry.name, name) == 0) return entry.address;
    return nullptr;
}

PROC wglGetProcAddress(const char* name) { return reinterpret_cast<PROC>(LookUpGlFunction(name)); }
