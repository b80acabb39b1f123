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

void LoadCaptions(const char* path, unsigned int& texture)
{
    texture = DEMOGL_TextureLoad(path, 3, 0, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR, false, false, 0,
                                 GL_RGB5_A1, 2);
}
}  // namespace

CLogoEffect::CLogoEffect() : width(0), height(0), firstTexture(0), secondTexture(0), startTime(-1) {}

CLogoEffect::~CLogoEffect() = default;

int CLogoEffect::Init(int width, int height)
{
    this->width = width;
    this->height = height;
    startTime = -1;
    // The second picture's bands are reached with t below 0, so both must repeat in t.
    LoadCaptions("demotex\\txts1.tga", firstTexture);
    LoadCaptions("demotex\\txts2.tga", secondTexture);
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
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, t - startTime > kSecondPictureAfterMs ? secondTexture : firstTexture);
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
    glBegin(GL_QUADS);
    glTexCoord2f(0, bandBottom);
    glVertex3f(left, bottom, kDepth);
    glTexCoord2f(1, bandBottom);
    glVertex3f(right, bottom, kDepth);
    glTexCoord2f(1, bandTop);
    glVertex3f(right, top, kDepth);
    glTexCoord2f(0, bandTop);
    glVertex3f(left, top, kDepth);
    glEnd();
}

void CLogoEffect::End()
{
    DEMOGL_TextureUnUpload(firstTexture);
    DEMOGL_TextureUnUpload(secondTexture);
}
