// LINE: a band a tenth of the screen high across its middle, three strips of Line.tga (one white,
// one violet, one blue) sliding right without a seam; black in the texture stays see-through.
#include "effects/line.h"

#include <GL/gl.h>

#include "effects/overlay.h"

namespace {

constexpr int kWhitePeriod = 4242;
constexpr int kVioletPeriod = 2121;
constexpr int kBluePeriod = 3333;

constexpr LONG kFadeOutStart = 89000;
constexpr float kFadeOutLength = 4000.0f;
constexpr float kFadeInSeconds = 10.0f;

constexpr float kBandBottom = 0.44f;
constexpr float kBandTop = 0.54f;

// Left edge of a strip that repeats once per screen width: rises from -1 towards 0 over one
// period, then falls back by exactly one texture repeat. The remainder is taken upwards so a
// frame time before the first frame still keeps the strip across the whole screen.
float StripOffset(LONG elapsed, int period)
{
    int remainder = elapsed % period;
    if (remainder < 0) remainder += period;
    return float(remainder) / float(period) - 1.0f;
}

// One strip two screen widths long, showing texture rows bottomRow..topRow twice over.
void DrawStrip(float offset, float bottomRow, float topRow)
{
    DrawTexturedQuad(offset, kBandBottom, offset + 2, kBandTop, 0, bottomRow, topRow, 2);
}

}  // namespace

CLineEffect::CLineEffect()
    : width(0), height(0), texture(0), startTime(-1), stripOffset1(-1), stripOffset2(-1), stripOffset3(-1)
{
}

CLineEffect::~CLineEffect() = default;

int CLineEffect::Init(int width, int height)
{
    this->width = width;
    this->height = height;
    startTime = -1;
    texture = LoadPicture("demotex\\Line.tga");
    return 0;
}

void CLineEffect::Prepare() { DEMOGL_TextureUpload(texture); }

void CLineEffect::RenderFrame(LONG time)
{
    if (startTime < 0) startTime = time;

    LONG elapsed = time - startTime;
    stripOffset1 = StripOffset(elapsed, kWhitePeriod);
    stripOffset2 = StripOffset(elapsed, kVioletPeriod);
    stripOffset3 = StripOffset(elapsed, kBluePeriod);

    PushOverlayAttributes();
    EnableColourBlend();
    EnableDepthTest();
    BindModulatedTexture(texture);
    BeginUnitSquareProjection();

    Draw(time);

    EndOverlay();
}

void CLineEffect::Draw(LONG time)
{
    float brightness = float(time - startTime) / 1000.0f / kFadeInSeconds;
    // The fade-out follows the piece's clock, so it overrides the fade-in whatever it had reached.
    if (time > kFadeOutStart) brightness = 1.0f - float(time - kFadeOutStart) / kFadeOutLength;
    if (brightness > 1.0f) brightness = 1.0f;

    glColor4f(brightness, brightness, brightness, 1);
    DrawStrip(stripOffset1, 0.9f, 1.0f);
    glColor4f(0.9f * brightness, 0.3f * brightness, brightness, 1);
    DrawStrip(stripOffset2, 0.375f, 0.5f);
    glColor4f(0.3f * brightness, 0.3f * brightness, brightness, 1);
    DrawStrip(stripOffset3, 0.375f, 0.5f);
}

void CLineEffect::End() { DEMOGL_TextureUnUpload(texture); }
