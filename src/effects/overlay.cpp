#include "effects/overlay.h"

#include <GL/gl.h>

void PushOverlayAttributes() { glPushAttrib(kOverlayAttributes); }

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
