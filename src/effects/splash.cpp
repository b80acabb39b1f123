// SPLASH: "KorbaPlunte" over whatever is below, brightening for five seconds, holding, and darkening
// to nothing between eight and thirteen seconds; its black background never hides the layers below.
#include "effects/splash.h"

#include <GL/gl.h>

#include "effects/overlay.h"

namespace {
constexpr float kFadeInSeconds = 5.0f;
constexpr float kFadeOutBeginsSeconds = 8.0f;
constexpr float kGoneSeconds = 13.0f;
}  // namespace

CSplashEffect::CSplashEffect() : width(0), height(0), texture(0), startTime(-1) {}

CSplashEffect::~CSplashEffect() = default;

int CSplashEffect::Init(int width, int height)
{
    this->width = width;
    this->height = height;
    startTime = -1;
    texture = LoadPicture("demotex\\KorbaPlunte2.tga");
    return 0;
}

void CSplashEffect::Prepare() { DEMOGL_TextureUpload(texture); }

void CSplashEffect::RenderFrame(LONG t)
{
    if (startTime < 0) startTime = t;

    PushOverlayAttributes();
    EnableColourBlend();
    BindModulatedTexture(texture);
    BeginUnitSquareProjection();
    Draw(t);
    EndOverlay();
}

void CSplashEffect::Draw(LONG t)
{
    // Unclamped on purpose: above 1 the GL holds it at full, below 0 at nothing.
    float seconds = float(t - startTime) / 1000.0f;
    float brightness = seconds <= kFadeOutBeginsSeconds ? seconds / kFadeInSeconds
                                                        : (kGoneSeconds - seconds) / kFadeInSeconds;
    glColor4f(brightness, brightness, brightness, 1.0f);

    DrawTexturedQuad(0.2f, 0.125f, 0.8f, 0.875f, -0.45f);
}

void CSplashEffect::End() { DEMOGL_TextureUnUpload(texture); }
