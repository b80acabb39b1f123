// SPOT .. SPOT4: one sweeping beam of coloured light each, inside the letterbox band; the kind
// picks the beam's place, sweep, colour and the moment it goes out.
#pragma once

#include "host/demogl.h"

class CSpotEffect : public CEffect {
public:
    CSpotEffect();
    ~CSpotEffect() override;
    int Init(int width, int height) override;
    void Prepare() override;
    void RenderFrame(LONG time) override;
    void Draw(LONG time);
    void End() override;

    // 1 to 4; any other kind draws no beam.
    void SetKind(int kind);

    int width;
    int height;
    unsigned int texture;
    LONG startTime;
    int kind;
};
