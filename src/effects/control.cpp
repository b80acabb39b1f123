// CONTROL: clears the frame each time it is drawn. "COLOR OFF" lets the previous frame show
// through under the next layers; the "OFF" keywords toggle, the "ON" keywords set.
#include "effects/control.h"

#include <GL/gl.h>

#include <cstring>

namespace {
constexpr unsigned int kDefaultMask = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;
}

// The mask is set here too, so a frame drawn before Init clears as Init would have it.
CControlEffect::CControlEffect() : clearMask(kDefaultMask) {}

CControlEffect::~CControlEffect() = default;

int CControlEffect::Init(int, int)
{
    clearMask = kDefaultMask;
    return 0;
}

void CControlEffect::RenderFrame(LONG) { glClear(clearMask); }

void CControlEffect::ReceiveParam(char* text)
{
    if (std::strcmp(text, "COLOR ON") == 0)
        clearMask |= GL_COLOR_BUFFER_BIT;
    else if (std::strcmp(text, "COLOR OFF") == 0)
        clearMask ^= GL_COLOR_BUFFER_BIT;
    else if (std::strcmp(text, "DEPTH ON") == 0)
        clearMask |= GL_DEPTH_BUFFER_BIT;
    else if (std::strcmp(text, "DEPTH OFF") == 0)
        clearMask ^= GL_DEPTH_BUFFER_BIT;
}
