// LINE: a glowing band across the middle of the screen, three tinted strips of one texture
// scrolling right at their own speeds; it brightens over ten seconds and fades out after 89 s.
#pragma once

#include "host/demogl.h"

class CLineEffect : public CEffect {
public:
    CLineEffect();
    ~CLineEffect() override;
    int Init(int width, int height) override;
    void Prepare() override;
    void RenderFrame(LONG time) override;
    void Draw(LONG time);
    void End() override;

    int width;
    int height;
    unsigned int texture;
    LONG startTime;
    float stripOffset1;  // white strip, one screen width per 4242 ms
    float stripOffset2;  // violet strip, per 2121 ms
    float stripOffset3;  // blue strip, per 3333 ms
};
