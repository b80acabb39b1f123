// SNOW: soft flakes enter at the top or the right edge, fall and drift left with a gentle sideways
// sway, added onto the picture inside the letterbox band. They grow in number with the effect's
// age; from 135 s into the piece fewer and fewer fallen flakes come back, until by 153 s none do.
#include "effects/snow.h"

#include <algorithm>
#include <cmath>

#include "effects/multitexture.h"
#include "effects/overlay.h"

namespace {

// The ramp 3000 * sin(age / kRampScale) adds about one flake per 131 ms at first.
constexpr float kRampScale = 393333.0f;
// From this moment of the piece one fewer slot is refilled every kRunDownStep ms.
constexpr LONG kRunDownStart = 135000;
constexpr LONG kRunDownStep = 6;
// Draws above this enter at the right edge; the rest (about 73 %) at the top.
constexpr int kRightEdgeDraw = 24000;

// Every slot as it was never spawned: a spawn height below the picture and a spawn time of 0 make
// its first update find it fallen at any frame time from 0 on.
void EmptySky(CSnowEffect& snow)
{
    for (float* field : {snow.spawnX, snow.posX, snow.posY, snow.size, snow.spawnTime})
        std::fill(field, field + kParticleSlots, 0.0f);
    std::fill(std::begin(snow.spawnY), std::end(snow.spawnY), -1.0f);
    snow.liveCount = 0;
}

}  // namespace

// The ramp must be computed by the first frame (liveCount below the slot count), and a slot the
// ramp reaches for the first time must read as fallen whatever the frame time: a spawn height below
// the picture does that.
CSnowEffect::CSnowEffect()
    : activeTextureProc(nullptr),
      multiTexCoordProc(nullptr),
      width(0),
      height(0),
      spawnX(),
      spawnY(),
      posX(),
      posY(),
      size(),
      spawnTime(),
      texture(0),
      startTime(-1),
      liveCount(0)
{
    EmptySky(*this);
}

CSnowEffect::~CSnowEffect() = default;

int CSnowEffect::Init(int width, int height)
{
    this->width = width;
    this->height = height;
    startTime = -1;
    // Init runs again when the host restarts the snow after End deleted its texture, and on every
    // fresh start of the piece: an empty sky, as on the first start, rather than flakes left over
    // from the last run. Their spawn times matter most: after the clock has gone back, a stale one
    // lies in the future and would keep its slot "alive" somewhere off the picture.
    EmptySky(*this);
    texture = LoadSpriteTexture("demotex\\flocon.tga");
    return 0;
}

void CSnowEffect::Prepare()
{
    DEMOGL_TextureUpload(texture);
    ProbeMultitexture(activeTextureProc, multiTexCoordProc);
}

void CSnowEffect::RenderFrame(LONG time)
{
    StartParticleClock(*this, time);

    if (liveCount < kParticleSlots)
        liveCount = static_cast<int>(kParticleSlots * std::sin(static_cast<float>(time - startTime) / kRampScale));
    if (liveCount > kParticleSlots) liveCount = kParticleSlots;

    // The run-down follows the piece's clock, not the effect's age.
    int refillLimit = liveCount;
    if (time > kRunDownStart) refillLimit = kParticleSlots - (time - kRunDownStart) / kRunDownStep;

    for (int i = 0; i < liveCount; ++i) {
        float age = static_cast<float>(time) - spawnTime[i];
        posX[i] = spawnX[i] - age / 8000.0f + size[i] * std::sin(age / 530.0f);
        posY[i] = spawnY[i] - (age / 340.0f) * (size[i] + 0.05f);
        if (!ParticleIsDead(posX[i], posY[i]) || i >= refillLimit) continue;

        int edgeDraw = DemoRandom();
        float along = UnitRandom();
        if (edgeDraw > kRightEdgeDraw) {
            spawnX[i] = 1.0f;
            spawnY[i] = along;
        } else {
            spawnX[i] = along;
            spawnY[i] = 1.0f;
        }
        size[i] = UnitRandom() / 28.0f;
        spawnTime[i] = static_cast<float>(time);
        posX[i] = spawnX[i];
        posY[i] = spawnY[i];
    }

    BeginSpriteOverlay(width, height, texture);
    Draw(time);
    EndOverlay();
}

// Each flake is the upper-left half of a square of side size[i] standing on its position.
void CSnowEffect::Draw(LONG time)
{
    glColor4f(1, 1, 1, static_cast<float>((time - startTime) / 1000 / 2));
    for (int i = 0; i < liveCount; ++i) {
        float x = posX[i], y = posY[i], w = size[i];
        glBegin(GL_TRIANGLES);
        glTexCoord2f(0, 0);
        glVertex3f(x, y, 1);
        glTexCoord2f(0, 1);
        glVertex3f(x, y + w, 1);
        glTexCoord2f(1, 1);
        glVertex3f(x + w, y + w, 1);
        glEnd();
    }
}

void CSnowEffect::End() { DEMOGL_TextureDelete(texture); }
