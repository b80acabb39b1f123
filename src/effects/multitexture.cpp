#include "effects/multitexture.h"

#include "host/demogl.h"

bool ProbeMultitexture(PFNGLACTIVETEXTUREARBPROC& activeTextureProc,
                       PFNGLMULTITEXCOORD2FARBPROC& multiTexCoordProc)
{
    if (!DEMOGL_ExtensionCheckIfAvailable(DEMOGL_EXT_MULTITEXTURE)) return false;
    activeTextureProc = reinterpret_cast<PFNGLACTIVETEXTUREARBPROC>(wglGetProcAddress("glActiveTextureARB"));
    multiTexCoordProc = reinterpret_cast<PFNGLMULTITEXCOORD2FARBPROC>(wglGetProcAddress("glMultiTexCoord2fARB"));
    return DEMOGL_ExtensionCheckIfAvailable(DEMOGL_EXT_TEXTURE_ENV_ADD);
}
