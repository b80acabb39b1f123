// STAR: 500 stars scattered over the letterbox band, each turning slowly about its centre and
// twinkling on its own phase, added onto the picture; the field brightens from nothing in a second.
#include "effects/star.h"

#include <cmath>

#include "effects/multitexture.h"
#include "effects/overlay.h"

namespace {
constexpr int kStarCount = 500;
}

CStarEffect::CStarEffect()
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
}

CStarEffect::~CStarEffect() = default;

int CStarEffect::Init(int width, int height)
{
    this->width = width;
    this->height = height;
    startTime = -1;
    texture = LoadSpriteTexture("demotex\\star.tga");
    return 0;
}

void CStarEffect::Prepare()
{
    DEMOGL_TextureUpload(texture);
    ProbeMultitexture(activeTextureProc, multiTexCoordProc);
}

// Stars never move, so only the first frame finds dead slots to fill.
void CStarEffect::RenderFrame(LONG time)
{
    StartParticleClock(*this, time);
    liveCount = kStarCount;

    for (int i = 0; i < liveCount; ++i) {
        if (!ParticleIsDead(posX[i], posY[i])) continue;
        spawnX[i] = UnitRandom();
        spawnY[i] = UnitRandom() * 8 / 10 + 0.1f;
        size[i] = UnitRandom() / 18.0f;
        spawnTime[i] = static_cast<float>(time);
        posX[i] = spawnX[i];
        posY[i] = spawnY[i];
    }

    BeginSpriteOverlay(width, height, texture);
    Draw(time);
    EndOverlay();
}

// Each star is half a square cut along its diagonal, the diagonal's midpoint on the star's place,
// turning clockwise; larger stars turn a little slower.
void CStarEffect::Draw(LONG time)
{
    int age = time - startTime;
    float fadeIn = age / 1000.0f;
    if (fadeIn > 1) fadeIn = 1;
    float twinklePhase = age / 500.0f;

    for (int i = 0; i < liveCount; ++i) {
        float spin = (static_cast<float>(time) - spawnTime[i]) / (size[i] * 1500 + 1000);
        float cosine = std::cos(spin), sine = std::sin(spin);
        float x = posX[i], y = posY[i], halfSize = size[i] / 2;

        glBegin(GL_TRIANGLES);
        float brightness = std::fabs(std::sin(static_cast<float>(i) + twinklePhase)) * fadeIn;
        glColor4f(brightness, brightness, brightness, twinklePhase / 2);
        glTexCoord2f(0, 0);
        glVertex3f(x - cosine * halfSize, y + sine * halfSize, 1);
        glTexCoord2f(0, 1);
        glVertex3f(x + sine * halfSize, y + cosine * halfSize, 1);
        glTexCoord2f(1, 1);
        glVertex3f(x + cosine * halfSize, y - sine * halfSize, 1);
        glEnd();
    }
}

void CStarEffect::End() { DEMOGL_TextureDelete(texture); }
