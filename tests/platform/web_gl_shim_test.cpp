// The browser's stand-ins for fixed-function GL: the arithmetic of sphere maps and wide lines,
// and the attribute stack's rules, which decide whether an effect leaves GL as it found it.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/web/attribute_stack.h"
#include "platform/web/gl_shim_geometry.h"

namespace {

using glshim::Vec4;

constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TEST(SphereMap, MapsTheReflectionOfTheViewRayAboutTheNormal)
{
    float s, t;
    const float ahead[3] = {0, 0, -1};
    const float facingViewer[3] = {0, 0, 1};
    glshim::SphereMapCoordinates(kIdentity, facingViewer, ahead, s, t);
    EXPECT_NEAR(s, 0.5f, 1e-6f) << "a face looking back at the viewer shows the map's centre";
    EXPECT_NEAR(t, 0.5f, 1e-6f);

    // Tilted 45 degrees to the right, the view ray leaves sideways: r = (1, 0, 0).
    const float tiltedRight[3] = {std::sqrt(0.5f), 0, std::sqrt(0.5f)};
    glshim::SphereMapCoordinates(kIdentity, tiltedRight, ahead, s, t);
    EXPECT_NEAR(s, 0.5f + 1 / (2 * std::sqrt(2.0f)), 1e-5f);
    EXPECT_NEAR(t, 0.5f, 1e-6f);

    // An unnormalised normal gives the same place: only its direction counts.
    const float longTilted[3] = {3, 0, 3};
    float longS, longT;
    glshim::SphereMapCoordinates(kIdentity, longTilted, ahead, longS, longT);
    EXPECT_NEAR(longS, s, 1e-5f);
    EXPECT_NEAR(longT, t, 1e-5f);
}

TEST(SphereMap, TurnsNormalsWithTheInverseTransposeOfTheModelView)
{
    // A face of normal (1, 1, 0) squeezed to half its width in x: the plane's normal in eye space
    // is (2, 1, 0) normalised, not the model-view times the normal, (0.5, 1, 0).
    const float squeeze[16] = {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -3, 1};
    const float normal[3] = {1, 1, 0}, vertex[3] = {0.2f, -0.1f, 0.4f};
    float s, t;
    glshim::SphereMapCoordinates(squeeze, normal, vertex, s, t);

    const float eyeNormal[3] = {2, 1, 0};
    const Vec4 eye = glshim::Transform(squeeze, vertex);
    const float eyeVertex[3] = {eye.x, eye.y, eye.z};
    float expectedS, expectedT;
    glshim::SphereMapCoordinates(kIdentity, eyeNormal, eyeVertex, expectedS, expectedT);
    EXPECT_NEAR(s, expectedS, 1e-5f);
    EXPECT_NEAR(t, expectedT, 1e-5f);

    // A turn of the whole scene and the same turn done to the data by hand agree.
    const float c = std::cos(0.7f), d = std::sin(0.7f);
    const float turn[16] = {c, d, 0, 0, -d, c, 0, 0, 0, 0, 1, 0, 0, 0, -2, 1};
    glshim::SphereMapCoordinates(turn, normal, vertex, s, t);
    const float turnedNormal[3] = {c - d, d + c, 0};
    const Vec4 turned = glshim::Transform(turn, vertex);
    const float turnedVertex[3] = {turned.x, turned.y, turned.z};
    glshim::SphereMapCoordinates(kIdentity, turnedNormal, turnedVertex, expectedS, expectedT);
    EXPECT_NEAR(s, expectedS, 1e-5f);
    EXPECT_NEAR(t, expectedT, 1e-5f);
}

// Where a clip-space point lands in a viewport, in pixels.
void Pixel(const Vec4& point, float width, float height, float& x, float& y)
{
    x = (point.x / point.w + 1) * width / 2;
    y = (point.y / point.w + 1) * height / 2;
}

TEST(WideLine, WidensAcrossTheMinorAxisByTheWidthInPixels)
{
    const float width = 320, height = 240;
    Vec4 corners[4];
    // More wide than tall: three pixels from bottom edge to top edge, the ends where they were.
    glshim::WideLineQuad(Vec4{-0.5f, 0.1f, 0.2f, 1}, Vec4{0.5f, 0.3f, 0.2f, 1}, width, height, 3, corners);
    float x0, y0, x3, y3, xFrom, yFrom;
    Pixel(corners[0], width, height, x0, y0);
    Pixel(corners[3], width, height, x3, y3);
    Pixel(Vec4{-0.5f, 0.1f, 0.2f, 1}, width, height, xFrom, yFrom);
    EXPECT_NEAR(x0, xFrom, 1e-3f);
    EXPECT_NEAR(x3, xFrom, 1e-3f);
    EXPECT_NEAR(y3 - y0, 3, 1e-3f);
    EXPECT_NEAR((y0 + y3) / 2, yFrom, 1e-3f);
    EXPECT_EQ(corners[0].z, 0.2f) << "depth is kept, so the depth test sees the line where it was";

    // Taller than wide, seen in perspective (w = 4): three pixels sideways on screen.
    glshim::WideLineQuad(Vec4{0.4f, -2, 1, 4}, Vec4{0.8f, 2, 1, 4}, width, height, 3, corners);
    float x1, y1, x2, y2;
    Pixel(corners[1], width, height, x1, y1);
    Pixel(corners[2], width, height, x2, y2);
    EXPECT_NEAR(x2 - x1, 3, 1e-3f);
    EXPECT_NEAR(y2, y1, 1e-3f);
    EXPECT_EQ(corners[1].w, 4) << "the clipper still sees the perspective";
}

constexpr unsigned kEnableBit = 0x2000, kColorBufferBit = 0x4000, kDepthBufferBit = 0x100;
constexpr unsigned kBlend = 0x0BE2, kDepthTest = 0x0B71, kScissorTest = 0x0C11, kTexture2D = 0x0DE1;
constexpr unsigned kTextureGenS = 0x0C60;

TEST(AttributeStack, PutsBackOnlyThePushedGroups)
{
    glshim::AttributeStack stack;
    glshim::FixedFunctionState state;
    state.SetEnabled(kBlend, true);
    state.blendSource = 0x0300;  // GL_SRC_COLOR

    // The overlays' colour-buffer push: blending comes back, the depth test does not.
    ASSERT_TRUE(stack.Push(kColorBufferBit, state));
    state.SetEnabled(kBlend, false);
    state.blendSource = 0x0302;
    state.SetEnabled(kDepthTest, true);
    ASSERT_TRUE(stack.Pop(state));
    EXPECT_TRUE(state.IsEnabled(kBlend));
    EXPECT_EQ(state.blendSource, 0x0300u);
    EXPECT_TRUE(state.IsEnabled(kDepthTest)) << "not part of the colour buffer's group";

    // The enable group: a capability first turned on after the push is off again after the pop.
    ASSERT_TRUE(stack.Push(kEnableBit, state));
    state.SetEnabled(kScissorTest, true);
    state.SetEnabled(kTextureGenS, true);
    state.SetEnabled(kDepthTest, false);
    state.depthFunction = 0x0203;  // GL_LEQUAL, in the depth group only
    ASSERT_TRUE(stack.Pop(state));
    EXPECT_FALSE(state.IsEnabled(kScissorTest));
    EXPECT_FALSE(state.IsEnabled(kTextureGenS));
    EXPECT_TRUE(state.IsEnabled(kDepthTest));
    EXPECT_EQ(state.depthFunction, 0x0203u);

    ASSERT_TRUE(stack.Push(kDepthBufferBit, state));
    state.depthFunction = 0x0201;
    state.SetEnabled(kDepthTest, false);
    ASSERT_TRUE(stack.Pop(state));
    EXPECT_EQ(state.depthFunction, 0x0203u);
    EXPECT_TRUE(state.IsEnabled(kDepthTest));
}

TEST(AttributeStack, RefusesUnderflowAndOverflowWithoutLosingItsPlace)
{
    glshim::AttributeStack stack;
    glshim::FixedFunctionState state;
    state.SetEnabled(kTexture2D, true);
    EXPECT_FALSE(stack.Pop(state)) << "a pop with nothing pushed";
    EXPECT_TRUE(state.IsEnabled(kTexture2D)) << "leaves the state alone";

    // Nested pushes, the innermost beyond GL's depth refused: the pops still match their pushes.
    for (size_t level = 0; level < glshim::AttributeStack::kMaxDepth; ++level)
        ASSERT_TRUE(stack.Push(kEnableBit, state));
    state.SetEnabled(kTexture2D, false);
    EXPECT_FALSE(stack.Push(kEnableBit, state));
    EXPECT_EQ(stack.Depth(), glshim::AttributeStack::kMaxDepth);
    ASSERT_TRUE(stack.Pop(state));
    EXPECT_TRUE(state.IsEnabled(kTexture2D));
}

}  // namespace
