// The maker's overlay: text on the window that leaves the effects' GL state and the render
// target (what captures and screenshots read) as they were.
#include <gtest/gtest.h>

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>

#include "player/context.h"
#include "player/overlay.h"

namespace {

struct GlState {
    GLint matrixMode = 0, blendSource = 0, blendDestination = 0, texture = 0, viewport[4] = {};
    GLboolean depth = 0, scissor = 0, blend = 0, textured = 0, vertexArray = 0;
    GLfloat colour[4] = {}, projection[16] = {};

    static GlState Read()
    {
        GlState state;
        glGetIntegerv(GL_MATRIX_MODE, &state.matrixMode);
        glGetIntegerv(GL_BLEND_SRC, &state.blendSource);
        glGetIntegerv(GL_BLEND_DST, &state.blendDestination);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &state.texture);
        glGetIntegerv(GL_VIEWPORT, state.viewport);
        state.depth = glIsEnabled(GL_DEPTH_TEST);
        state.scissor = glIsEnabled(GL_SCISSOR_TEST);
        state.blend = glIsEnabled(GL_BLEND);
        state.textured = glIsEnabled(GL_TEXTURE_2D);
        state.vertexArray = glIsEnabled(GL_VERTEX_ARRAY);
        glGetFloatv(GL_CURRENT_COLOR, state.colour);
        glGetFloatv(GL_PROJECTION_MATRIX, state.projection);
        return state;
    }
    bool operator==(const GlState& o) const
    {
        return matrixMode == o.matrixMode && blendSource == o.blendSource && blendDestination == o.blendDestination &&
               texture == o.texture && std::equal(viewport, viewport + 4, o.viewport) && depth == o.depth &&
               scissor == o.scissor && blend == o.blend && textured == o.textured && vertexArray == o.vertexArray &&
               std::equal(colour, colour + 4, o.colour) && std::equal(projection, projection + 16, o.projection);
    }
};

std::vector<std::uint8_t> ReadPixels(int width, int height)
{
    std::vector<std::uint8_t> pixels(size_t(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

TEST(Overlay, DrawsTextOverThePictureAndPutsBackEveryStateAnEffectLeft)
{
    GlContext context;
    ContextSettings settings;
    settings.headless = true;
    settings.renderWidth = 160;
    settings.renderHeight = 120;
    std::string error;
    ASSERT_TRUE(context.Create(settings, error)) << error;
    context.BindRenderTarget();
    glViewport(0, 0, 160, 120);
    glClearColor(0.5f, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    const std::vector<std::uint8_t> before = ReadPixels(160, 120);

    // What an overlay effect leaves behind.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_COLOR, GL_ONE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 30, 160, 60);
    glEnable(GL_TEXTURE_2D);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor4f(0.25f, 0.5f, 0.75f, 1);
    glViewport(0, 0, 1, 1);
    const GlState left = GlState::Read();

    DrawOverlay({{"0:12.345   60 fps"}, {"timeline: x.txt"}, {"x.txt:3: unknown command", true}}, 160, 120);
    EXPECT_TRUE(GlState::Read() == left) << "the overlay changed state the next frame's effects would find";
    glDisable(GL_SCISSOR_TEST);
    const std::vector<std::uint8_t> after = ReadPixels(160, 120);
    EXPECT_NE(after, before) << "nothing drawn";
    glDeleteTextures(1, &texture);
}

TEST(Overlay, IsDrawnIntoTheWindowNeverIntoTheRenderTarget)
{
    GlContext context;
    ContextSettings settings;  // a window, on the offscreen video driver in tests
    settings.renderWidth = 64;
    settings.renderHeight = 48;
    settings.vsync = false;
    std::string error;
    ASSERT_TRUE(context.Create(settings, error)) << error;
    context.BindRenderTarget();
    glViewport(0, 0, 64, 48);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    const std::vector<std::uint8_t> picture = ReadPixels(64, 48);
    bool drawn = false;
    context.Present([&](int width, int height) {
        DrawOverlay({{"overlay text over the whole corner"}}, width, height);
        drawn = true;
    });
    EXPECT_TRUE(drawn);
    context.BindRenderTarget();
    EXPECT_EQ(ReadPixels(64, 48), picture) << "captures and F12 read this target";
}

}  // namespace
