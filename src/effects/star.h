// STAR: a field of 500 small stars inside the letterbox band, each spinning and twinkling.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include "effects/particles.h"
#include "host/demogl.h"

class CStarEffect : public CEffect {
public:
    CStarEffect();
    ~CStarEffect() override;
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
