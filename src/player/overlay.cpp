// The text is stb's built-in vector font: no font file to find, so an installed program draws it
// as well as one run from the build folder.
#include "player/overlay.h"

#include <GL/gl.h>

#include <algorithm>
#include <vector>

#define STB_EASY_FONT_IMPLEMENTATION
#include <stb_easy_font.h>

namespace {

constexpr float kLineHeight = 12.0f;  // the font's own line spacing at scale 1
constexpr float kMargin = 6.0f;
// stb_easy_font writes 4 vertices of 16 bytes per quad, at most about 270 quads for a line of 80
// characters; longer lines are cut.
constexpr size_t kMaxCharacters = 160;

void DrawText(const std::string& text, float x, float y)
{
    static std::vector<char> vertices(kMaxCharacters * 300);
    std::string shown = text.substr(0, kMaxCharacters);
    const int quads = stb_easy_font_print(x, y, shown.data(), nullptr, vertices.data(), int(vertices.size()));
    glVertexPointer(2, GL_FLOAT, 16, vertices.data());
    glDrawArrays(GL_QUADS, 0, quads * 4);
}

}  // namespace

void DrawOverlay(const std::vector<OverlayLine>& lines, int width, int height)
{
    if (lines.empty() || width <= 0 || height <= 0) return;
    // Legible on a small window, not huge on a large one.
    const float scale = std::max(1.0f, float(height) / 360.0f);

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);  // y down, as the font lays out its lines
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glScalef(scale, scale, 1);

    glViewport(0, 0, width, height);
    for (GLenum capability : {GL_DEPTH_TEST, GL_TEXTURE_2D, GL_LIGHTING, GL_SCISSOR_TEST, GL_CULL_FACE, GL_FOG,
                              GL_ALPHA_TEST, GL_STENCIL_TEST, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T})
        glDisable(capability);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    float textWidth = 0;
    for (const OverlayLine& line : lines) {
        std::string shown = line.text.substr(0, kMaxCharacters);
        textWidth = std::max(textWidth, float(stb_easy_font_width(shown.data())));
    }
    glColor4f(0, 0, 0, 0.65f);
    glRectf(0, 0, textWidth + 2 * kMargin, lines.size() * kLineHeight + 2 * kMargin);

    glEnableClientState(GL_VERTEX_ARRAY);
    float y = kMargin;
    for (const OverlayLine& line : lines) {
        if (line.alarm) glColor4f(1.0f, 0.45f, 0.4f, 1);
        else glColor4f(0.9f, 0.95f, 1.0f, 1);
        DrawText(line.text, kMargin, y);
        y += kLineHeight;
    }

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib();
}
