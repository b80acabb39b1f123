#include "effects/particles.h"

#include <GL/gl.h>

#include "effects/overlay.h"
#include "host/demogl.h"

unsigned int LoadSpriteTexture(const char* path) { return LoadPicture(path, kPictureFormatRgb8); }

void BeginSpriteOverlay(int width, int height, unsigned int texture)
{
    PushOverlayAttributes();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_COLOR, GL_ONE);
    EnableLetterboxScissor(width, height);
    EnableDepthTest();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    BeginUnitSquareProjection();
}
