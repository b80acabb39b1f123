// SPLASH: the makers' picture, centred, fading in over five seconds and out again by thirteen.
#pragma once

#include "host/demogl.h"

class CSplashEffect : public CEffect {
public:
    CSplashEffect();
    ~CSplashEffect() override;
    int Init(int width, int height) override;
    void Prepare() override;
    void RenderFrame(LONG t) override;
    void Draw(LONG t);
    void End() override;

    int width;
    int height;
    unsigned int texture;
    LONG startTime;
};
