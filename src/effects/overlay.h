// Pieces of GL set-up that the flat, full-screen effects share. Each emits exactly the calls its
// comment names, so an effect's RenderFrame still reads as its own sequence of steps.
#pragma once

// The attribute groups an overlay saves: colour buffer, enables, depth buffer and polygon state.
constexpr unsigned int kOverlayAttributes = 0x6108;

// glPushAttrib(kOverlayAttributes).
void PushOverlayAttributes();

// Internal formats: GL_RGB5_A1 for the flat pictures, 0 (plain 8-bit RGB) for the sprites and the palm.
constexpr int kPictureFormatRgb5A1 = 0x8057;
constexpr int kPictureFormatRgb8 = 0;
// A TGA picture from the archive, repeating and linearly filtered, without mipmaps, two-dimensional.
unsigned int LoadPicture(const char* path, int internalFormat = kPictureFormatRgb5A1);

// glEnable(GL_BLEND); glBlendFunc(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR): black in the picture
// leaves what is below, white replaces it.
void EnableColourBlend();
// glEnable(GL_DEPTH_TEST); glDepthFunc(GL_LEQUAL).
void EnableDepthTest();
// glEnable(GL_TEXTURE_2D); glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
// glBindTexture(GL_TEXTURE_2D, texture): the current colour tints the picture.
void BindModulatedTexture(unsigned int texture);

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

// One GL_QUADS quad from (left, bottom) to (right, top) at the given depth, counter-clockwise from
// the lower left; the texture runs from (0, textureBottom) to (textureRight, textureTop).
void DrawTexturedQuad(float left, float bottom, float right, float top, float depth, float textureBottom = 0,
                      float textureTop = 1, float textureRight = 1);
