// SNOW: flakes drifting left and down through the letterbox band, more of them the longer the
// effect runs, thinning out towards the end of the piece.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include "effects/particles.h"
#include "host/demogl.h"

class CSnowEffect : public CEffect {
public:
    CSnowEffect();
    ~CSnowEffect() override;
    int Init(int width, int height) override;
    void Prepare() override;
    void RenderFrame(LONG time) override;
    void End() override;
    void Draw(LONG time);

    PFNGLACTIVETEXTUREARBPROC activeTextureProc;
    PFNGLMULTITEXCOORD2FARBPROC multiTexCoordProc;
    int width;
    int height;
    float spawnX[kParticleSlots];
    float spawnY[kParticleSlots];
    float posX[kParticleSlots];
    float posY[kParticleSlots];
    float size[kParticleSlots];
    float spawnTime[kParticleSlots];
    unsigned int texture;
    int startTime;
    int liveCount;
};
