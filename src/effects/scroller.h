// SCROLLER: a text panel rising through the letterbox band, the credits first and, from 201 s,
// the greetings, which start again from below.
#pragma once

#include "host/demogl.h"

class CScrollerEffect : public CEffect {
public:
    CScrollerEffect();
    ~CScrollerEffect() override;
    int Init(int width, int height) override;
    void Prepare() override;
    void RenderFrame(LONG time) override;
    void Draw(LONG time);
    void End() override;

    int width;
    int height;
    unsigned int firstTexture;   // the credits
    unsigned int secondTexture;  // the greetings
    LONG startTime;
};
