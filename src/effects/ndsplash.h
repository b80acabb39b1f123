// NDSPLASH: the closing picture, centred, fading in over five seconds and then staying.
#pragma once

#include "host/demogl.h"

class CNdSplashEffect : public CEffect {
public:
    CNdSplashEffect();
    ~CNdSplashEffect() override;
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
