// LOGO: captions that brighten in, hold, and slide right as they fade, one every seven seconds,
// alternating between the top and the bottom quarter of the screen.
#include "effects/logo.h"

#include <GL/gl.h>

#include <cmath>

#include "effects/overlay.h"

namespace {
constexpr float kCycleSeconds = 7.0f;
constexpr float kHoldEndsSeconds = 4.0f;
constexpr float kFadeSeconds = 3.0f;
// The first four captions come from the first picture, the rest from the second.
constexpr LONG kSecondPictureAfterMs = 28000;
// Each caption is a quarter of its picture's height; the bands are taken from the top down.
constexpr float kBandHeight = 0.25f;
constexpr float kCaptionWidth = 0.67f;
constexpr float kCaptionHeight = 0.25f;
constexpr float kLowerShift = 0.3f;
constexpr float kDepth = 0.1f;
}  // namespace

CLogoEffect::CLogoEffect() : width(0), height(0), firstTexture(0), secondTexture(0), startTime(-1) {}

CLogoEffect::~CLogoEffect() = default;

int CLogoEffect::Init(int width, int height)
{
    this->width = width;
    this->height = height;
    startTime = -1;
    // The second picture's bands are reached with t below 0, so both must repeat in t.
    firstTexture = LoadPicture("demotex\\txts1.tga");
    secondTexture = LoadPicture("demotex\\txts2.tga");
    return 0;
}

void CLogoEffect::Prepare()
{
    DEMOGL_TextureUpload(firstTexture);
    DEMOGL_TextureUpload(secondTexture);
}

void CLogoEffect::RenderFrame(LONG t)
{
    if (startTime < 0) startTime = t;

    PushOverlayAttributes();
    EnableColourBlend();
    EnableDepthTest();
    BindModulatedTexture(t - startTime > kSecondPictureAfterMs ? secondTexture : firstTexture);
    BeginUnitSquareProjection();
    Draw(t);
    EndOverlay();
}

void CLogoEffect::Draw(LONG t)
{
    // A whole number of cycles stays at the end of the one before (s = 7), not the start of the next.
    float seconds = float(t - startTime) / 1000.0f;
    float bandTop = 1.0f;
    bool lower = false;
    while (seconds > kCycleSeconds) {
        seconds -= kCycleSeconds;
        bandTop -= kBandHeight;
        lower = !lower;
    }

    // Brightness overshoots to 4/3 during the hold; the GL's clamp keeps it at full. The slide
    // starts where the hold left the caption (within a ten-thousandth) and speeds up to the end.
    float brightness, left;
    if (seconds <= kHoldEndsSeconds) {
        brightness = seconds / kFadeSeconds;
        left = 0.03f;
    } else {
        brightness = (kCycleSeconds - seconds) / kFadeSeconds;
        left = 0.23f - 0.2f * std::sin((kCycleSeconds - seconds) / 1.9f);
    }
    float top = 1.0f;
    if (lower) {
        left += kLowerShift;
        top = 0.25f;
    }
    glColor4f(brightness, brightness, brightness, 1.0f);

    float bottom = top - kCaptionHeight;
    float right = left + kCaptionWidth;
    float bandBottom = bandTop - kBandHeight;
    DrawTexturedQuad(left, bottom, right, top, kDepth, bandBottom, bandTop);
}

void CLogoEffect::End()
{
    DEMOGL_TextureUnUpload(firstTexture);
    DEMOGL_TextureUnUpload(secondTexture);
}
