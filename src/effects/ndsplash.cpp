// NDSPLASH: the closing picture over whatever is below, brightening for five seconds and then
// staying at full until the timeline stops it; its black background never hides the layers below.
#include "effects/ndsplash.h"

#include <GL/gl.h>

#include "effects/overlay.h"

namespace {
constexpr double kFadeInSeconds = 5.0;
}  // namespace

CNdSplashEffect::CNdSplashEffect() : width(0), height(0), texture(0), startTime(-1) {}

CNdSplashEffect::~CNdSplashEffect() = default;

int CNdSplashEffect::Init(int width, int height)
{
    this->width = width;
    this->height = height;
    startTime = -1;
    texture = LoadPicture("demotex\\End.tga");
    return 0;
}

void CNdSplashEffect::Prepare() { DEMOGL_TextureUpload(texture); }

void CNdSplashEffect::RenderFrame(LONG t)
{
    if (startTime < 0) startTime = t;

    PushOverlayAttributes();
    EnableColourBlend();
    BindModulatedTexture(texture);
    BeginUnitSquareProjection();
    Draw(t);
    EndOverlay();
}

void CNdSplashEffect::Draw(LONG t)
{
    // Keeps growing past 1; the GL's clamp is what holds the picture at full.
    float brightness = float((t - startTime) / 1000.0 / kFadeInSeconds);
    glColor4f(brightness, brightness, brightness, 1.0f);

    DrawTexturedQuad(0.2f, 0.125f, 0.8f, 0.875f, -0.45f);
}

void CNdSplashEffect::End() { DEMOGL_TextureUnUpload(texture); }
