// The GL entry points past version 1.1 that the host calls: framebuffers, pixel buffers, the blit.
// Windows' GL library exports only 1.1, so these are looked up in the current context once it
// exists, into pointers of our own; every system goes through the same lookup. Host sources
// include this header instead of <GL/gl.h> and call the usual names.
#pragma once

#include <set>
#include <string>

#include "platform/platform.h"  // Windows' GL header needs its types first

#include <GL/gl.h>
#include <GL/glext.h>

#define TARNELVOIS_GL_FUNCTIONS(X)                                      \
    X(PFNGLGENFRAMEBUFFERSPROC, glGenFramebuffers)                      \
    X(PFNGLDELETEFRAMEBUFFERSPROC, glDeleteFramebuffers)                \
    X(PFNGLBINDFRAMEBUFFERPROC, glBindFramebuffer)                      \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, glCheckFramebufferStatus)        \
    X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, glFramebufferRenderbuffer)      \
    X(PFNGLBLITFRAMEBUFFERPROC, glBlitFramebuffer)                      \
    X(PFNGLGENRENDERBUFFERSPROC, glGenRenderbuffers)                    \
    X(PFNGLDELETERENDERBUFFERSPROC, glDeleteRenderbuffers)              \
    X(PFNGLBINDRENDERBUFFERPROC, glBindRenderbuffer)                    \
    X(PFNGLRENDERBUFFERSTORAGEPROC, glRenderbufferStorage)              \
    X(PFNGLGENBUFFERSPROC, glGenBuffers)                                \
    X(PFNGLDELETEBUFFERSPROC, glDeleteBuffers)                          \
    X(PFNGLBINDBUFFERPROC, glBindBuffer)                                \
    X(PFNGLBUFFERDATAPROC, glBufferData)                                \
    X(PFNGLGETBUFFERSUBDATAPROC, glGetBufferSubData)                    \
    X(PFNGLMAPBUFFERPROC, glMapBuffer)                                  \
    X(PFNGLUNMAPBUFFERPROC, glUnmapBuffer)

// The pointers carry a prefix so they never stand in for the GL library's own exported symbols.
#define TARNELVOIS_DECLARE_GL(type, name) extern type tarnelvois_##name;
TARNELVOIS_GL_FUNCTIONS(TARNELVOIS_DECLARE_GL)
#undef TARNELVOIS_DECLARE_GL

#define glGenFramebuffers tarnelvois_glGenFramebuffers
#define glDeleteFramebuffers tarnelvois_glDeleteFramebuffers
#define glBindFramebuffer tarnelvois_glBindFramebuffer
#define glCheckFramebufferStatus tarnelvois_glCheckFramebufferStatus
#define glFramebufferRenderbuffer tarnelvois_glFramebufferRenderbuffer
#define glBlitFramebuffer tarnelvois_glBlitFramebuffer
#define glGenRenderbuffers tarnelvois_glGenRenderbuffers
#define glDeleteRenderbuffers tarnelvois_glDeleteRenderbuffers
#define glBindRenderbuffer tarnelvois_glBindRenderbuffer
#define glRenderbufferStorage tarnelvois_glRenderbufferStorage
#define glGenBuffers tarnelvois_glGenBuffers
#define glDeleteBuffers tarnelvois_glDeleteBuffers
#define glBindBuffer tarnelvois_glBindBuffer
#define glBufferData tarnelvois_glBufferData
#define glGetBufferSubData tarnelvois_glGetBufferSubData
#define glMapBuffer tarnelvois_glMapBuffer
#define glUnmapBuffer tarnelvois_glUnmapBuffer

// Looks every entry point up in the current context, under its core name or, failing that, the
// extension's (EXT, ARB). False, with the first missing name in 'missing', when one is absent:
// the host cannot draw without them, and a null pointer would crash at the first call.
bool LoadGlFunctions(std::string& missing);

// The extensions the current context names, for DEMOGL_ExtensionSupported.
std::set<std::string> ReadGlExtensions();
