// Pieces of GL set-up that the flat, full-screen effects share. Each emits exactly the calls its
// comment names, so an effect's RenderFrame still reads as its own sequence of steps.
#pragma once

// The attribute groups an overlay saves: colour buffer, enables, depth buffer and polygon state.
constexpr unsigned int kOverlayAttributes = 0x6108;

// glPushAttrib(kOverlayAttributes).
void PushOverlayAttributes();

// The centred 20:9 strip across the full width: glScissor(0, (height - h) / 2, width, h) with
// h = width * 9 / 20, then glEnable(GL_SCISSOR_TEST).
void EnableLetterboxScissor(int width, int height);
// The band's height and lower edge, as EnableLetterboxScissor computes them.
int LetterboxHeight(int width);
int LetterboxBottom(int width, int height);

// Projection pushed and set to the unit square (glOrtho(0, 1, 0, 1, -1, 1)); model-view loaded
// with the identity and moved by -0.1 along z, without a push.
void BeginUnitSquareProjection();
// glMatrixMode(GL_PROJECTION); glPopMatrix(); glPopAttrib().
void EndOverlay();
