// RCUBE, RCUBE2: a twisted lattice of 10 x 10 x 10 points turning in the letterbox band, drawn as
// lines (kind 1) or as translucent sheets moving in depth (any other kind).
#pragma once

#include "host/demogl.h"

constexpr int kLatticeSide = 10;

class CRCubeEffect : public CEffect {
public:
    CRCubeEffect();
    ~CRCubeEffect() override;
    int Init(int width, int height) override;
    void Prepare() override;
    void RenderFrame(LONG time) override;
    void End() override;
    void Draw(LONG time);

    int kind;
    int width;
    int height;
    int startTime;
    float angleX;
    float angleY;
    float angleZ;
    float basePoints[kLatticeSide][kLatticeSide][kLatticeSide][3];
    float points[kLatticeSide][kLatticeSide][kLatticeSide][3];
    float scratch[3];
};
