#include "effects/particles.h"

#include <GL/gl.h>

#include "effects/overlay.h"
#include "host/demogl.h"

namespace {
constexpr int kTgaFormat = 3;
constexpr int kRgb8 = 0;
constexpr int kTwoDimensional = 2;
}  // namespace

unsigned int LoadSpriteTexture(const char* path)
{
    return DEMOGL_TextureLoad(path, kTgaFormat, 0, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR, false, false, 0,
                              kRgb8, kTwoDimensional);
}

void BeginSpriteOverlay(int width, int height, unsigned int texture)
{
    PushOverlayAttributes();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_COLOR, GL_ONE);
    EnableLetterboxScissor(width, height);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    BeginUnitSquareProjection();
}
