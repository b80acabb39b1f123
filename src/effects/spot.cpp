// SPOT .. SPOT4: a long triangle of light standing on the bottom edge, its wide end sweeping from
// side to side near the top; violet or light blue, each going out at its own moment.
#include "effects/spot.h"

#include <GL/gl.h>

#include <cmath>

#include "effects/overlay.h"

namespace {

struct Beam {
    float tipX;
    float frequency;  // radians per second of the sweep
    float centre;     // left end of the wide side, at rest
    float amplitude;
    LONG fadeOutStart;
    float red, green, blue;
};

// One beam per kind, 1 to 4.
constexpr Beam kBeams[] = {
    {0.55f, 1.4f, 0.4f, 0.3f, 81300, 0.76f, 0.4f, 0.9f},
    {0.15f, 1.3f, 0.2f, 0.4f, 76000, 0.4f, 0.76f, 1.0f},
    {0.85f, 1.0f, 0.5f, 0.35f, 73400, 0.76f, 0.4f, 0.9f},
    {0.75f, 0.7f, 0.6f, 0.3f, 70900, 0.4f, 0.76f, 1.0f},
};
constexpr int kBeamCount = int(sizeof kBeams / sizeof kBeams[0]);

constexpr float kFadeOutLength = 2000.0f;
constexpr float kWideEndY = 0.9f;
constexpr float kWideEndWidth = 0.15f;
constexpr float kBeamDepth = -0.1f;

}  // namespace

// No beam until the start-up gives a kind.
CSpotEffect::CSpotEffect() : width(0), height(0), texture(0), startTime(-1), kind(0) {}

CSpotEffect::~CSpotEffect() = default;

void CSpotEffect::SetKind(int kind) { this->kind = kind; }

int CSpotEffect::Init(int width, int height)
{
    this->width = width;
    this->height = height;
    startTime = -1;
    texture = LoadPicture("demotex\\Light.tga");
    return 0;
}

void CSpotEffect::Prepare() { DEMOGL_TextureUpload(texture); }

void CSpotEffect::RenderFrame(LONG time)
{
    if (startTime < 0) startTime = time;

    PushOverlayAttributes();
    EnableColourBlend();
    EnableLetterboxScissor(width, height);
    EnableDepthTest();
    BindModulatedTexture(texture);
    BeginUnitSquareProjection();

    Draw(time);

    EndOverlay();
}

void CSpotEffect::Draw(LONG time)
{
    if (kind < 1 || kind > kBeamCount) return;
    const Beam& beam = kBeams[kind - 1];

    // The sweep runs on the beam's own clock, the fade-out on the piece's.
    float age = float(time - startTime) / 1000.0f;
    float wideLeft = beam.centre + beam.amplitude * std::sin(beam.frequency * age);
    float fade = 1.0f;
    if (time > beam.fadeOutStart) fade = 1.0f - float(time - beam.fadeOutStart) / kFadeOutLength;

    glColor4f(beam.red * fade, beam.green * fade, beam.blue * fade, 1);
    glBegin(GL_TRIANGLES);
    glTexCoord2f(0.5f, 0);
    glVertex3f(beam.tipX, 0, kBeamDepth);
    glTexCoord2f(0, 1);
    glVertex3f(wideLeft, kWideEndY, kBeamDepth);
    glTexCoord2f(1, 1);
    glVertex3f(wideLeft + kWideEndWidth, kWideEndY, kBeamDepth);
    glEnd();
}

void CSpotEffect::End() { DEMOGL_TextureUnUpload(texture); }
