// LOGO: captions in seven-second cycles, each a quarter-height band of one of two pictures,
// alternating between the top and the bottom quarter of the screen.
#pragma once

#include "host/demogl.h"

class CLogoEffect : public CEffect {
public:
    CLogoEffect();
    ~CLogoEffect() override;
    int Init(int width, int height) override;
    void Prepare() override;
    void RenderFrame(LONG t) override;
    void Draw(LONG t);
    void End() override;

    int width;
    int height;
    unsigned int firstTexture;
    unsigned int secondTexture;
    LONG startTime;
};
