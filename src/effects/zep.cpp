// ZEP: an airship drifting in from the right under a dim blue tint; once the scroller has started
// it stands at the left edge, warms to its full colours, and fades out forty seconds later.
#include "effects/zep.h"

#include <GL/gl.h>

#include "effects/overlay.h"
#include "effects/scroller_started.h"

namespace {
// Where the picture's left edge comes to rest: a thin strip hangs off the screen.
constexpr float kRestingLeft = -0.03f;
constexpr float kEntryLeft = 0.7f;
constexpr float kPictureWidth = 0.4f;
constexpr float kBottom = 0.325f;
constexpr float kTop = 0.875f;
constexpr float kDepth = -0.45f;

constexpr float kSlideFadeInSeconds = 5.0f;
// The blue tint of the slide: the colour at full slide brightness, and where the bright phase
// starts from.
constexpr float kTintRed = 0.2857f;
constexpr float kTintGreen = 0.4f;
constexpr float kTintBlue = 0.5714f;
constexpr float kWarmingMs = 6000.0f;
constexpr LONG kFadeOutBeginsMs = 40000;
constexpr float kFadeOutMs = 4000.0f;
}  // namespace

CZepEffect::CZepEffect() : width(0), height(0), texture(0), startTime(-1), scrollerPhaseStart(-1) {}

CZepEffect::~CZepEffect() = default;

int CZepEffect::Init(int width, int height)
{
    this->width = width;
    this->height = height;
    startTime = -1;
    scrollerPhaseStart = -1;
    texture = LoadPicture("demotex\\Zep.tga");
    return 0;
}

void CZepEffect::Prepare() { DEMOGL_TextureUpload(texture); }

void CZepEffect::RenderFrame(LONG t)
{
    if (startTime < 0) startTime = t;

    PushOverlayAttributes();
    EnableColourBlend();
    EnableDepthTest();
    BindModulatedTexture(texture);
    BeginUnitSquareProjection();
    Draw(t);
    EndOverlay();
}

void CZepEffect::Draw(LONG t)
{
    float left;
    if (!g_scrollerStarted) {
        float seconds = float(t - startTime) / 1000.0f;
        float brightness = seconds <= kSlideFadeInSeconds ? seconds / kSlideFadeInSeconds : 1.0f;
        glColor4f(brightness / 3.5f, brightness / 2.5f, brightness / 1.75f, 1.0f);

        left = kEntryLeft - (float(t - startTime) / 20000.0f) * 0.8f;
        if (left < kRestingLeft) left = kRestingLeft;
    } else {
        left = kRestingLeft;
        if (scrollerPhaseStart < 0) scrollerPhaseStart = t;
        LONG sincePhaseStart = t - scrollerPhaseStart;

        // The channels overshoot 1 on purpose: the GL's clamp turns the tint into full colour,
        // blue first, red last.
        float warmth = float(sincePhaseStart) / kWarmingMs;
        float red = warmth + kTintRed;
        float green = warmth + kTintGreen;
        float blue = warmth + kTintBlue;
        if (sincePhaseStart > kFadeOutBeginsMs) {
            red = green = blue = 1.0f - float(sincePhaseStart - kFadeOutBeginsMs) / kFadeOutMs;
        }
        glColor4f(red, green, blue, 1.0f);
    }

    DrawTexturedQuad(left, kBottom, left + kPictureWidth, kTop, kDepth);
}

void CZepEffect::End() { DEMOGL_TextureUnUpload(texture); }
