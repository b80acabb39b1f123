// CONTROL: draws nothing; clears the colour buffer, the depth buffer, both or neither each frame,
// as the timeline's keywords say.
#pragma once

#include "host/demogl.h"

class CControlEffect : public CEffect {
public:
    CControlEffect();
    ~CControlEffect() override;
    int Init(int width, int height) override;
    void RenderFrame(LONG time) override;
    void ReceiveParam(char* text) override;

    unsigned int clearMask;
};
