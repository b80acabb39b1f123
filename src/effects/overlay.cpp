#include "effects/overlay.h"

#include <GL/gl.h>

#include "host/demogl.h"

void PushOverlayAttributes() { glPushAttrib(kOverlayAttributes); }

unsigned int LoadPicture(const char* path, int internalFormat)
{
    const int tgaFormat = 3, noMipmaps = 0, noBorder = 0, twoDimensional = 2;
    return DEMOGL_TextureLoad(path, tgaFormat, noMipmaps, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR, false, false,
                              noBorder, internalFormat, twoDimensional);
}

void EnableColourBlend()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
}

void EnableDepthTest()
{
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
}

void BindModulatedTexture(unsigned int texture)
{
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, texture);
}

int LetterboxHeight(int width) { return width * 9 / 20; }

int LetterboxBottom(int width, int height) { return (height - LetterboxHeight(width)) / 2; }

void EnableLetterboxScissor(int width, int height)
{
    glScissor(0, LetterboxBottom(width, height), width, LetterboxHeight(width));
    glEnable(GL_SCISSOR_TEST);
}

void BeginUnitSquareProjection()
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -0.1f);
}

void EndOverlay()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

void DrawTexturedQuad(float left, float bottom, float right, float top, float depth, float textureBottom,
                      float textureTop, float textureRight)
{
    glBegin(GL_QUADS);
    glTexCoord2f(0, textureBottom);
    glVertex3f(left, bottom, depth);
    glTexCoord2f(textureRight, textureBottom);
    glVertex3f(right, bottom, depth);
    glTexCoord2f(textureRight, textureTop);
    glVertex3f(right, top, depth);
    glTexCoord2f(0, textureTop);
    glVertex3f(left, top, depth);
    glEnd();
}
