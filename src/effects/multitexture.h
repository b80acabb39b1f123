// The extension probe that the textured effects run when they are prepared: the multitexture entry
// points are fetched and kept, and the host is asked whether it can also add a texture to the
// fragment colour.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>  // Windows' gl.h stops at 1.1 and leaves the extension types out

// Asks the host for multitexturing; only if it has it, fetches "glActiveTextureARB" and
// "glMultiTexCoord2fARB" into the two pointers and asks about texture-env-add. Returns that last
// answer (false when multitexturing is missing, without asking).
bool ProbeMultitexture(PFNGLACTIVETEXTUREARBPROC& activeTextureProc,
                       PFNGLMULTITEXCOORD2FARBPROC& multiTexCoordProc);
