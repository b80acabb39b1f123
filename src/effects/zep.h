// ZEP: the airship. It slides in from the right under a blue tint until the scroller starts, then
// stands at the left edge in full colour and fades out forty seconds later.
#pragma once

#include "host/demogl.h"

class CZepEffect : public CEffect {
public:
    CZepEffect();
    ~CZepEffect() override;
    int Init(int width, int height) override;
    void Prepare() override;
    void RenderFrame(LONG t) override;
    void Draw(LONG t);
    void End() override;

    int width;
    int height;
    unsigned int texture;
    LONG startTime;
    LONG scrollerPhaseStart;
};
