// The base class's operations do nothing, so an effect overrides only what it uses.
#include "host/demogl.h"

CEffect::CEffect() = default;
CEffect::~CEffect() = default;
int CEffect::Init(int, int) { return 0; }
void CEffect::RenderFrame(LONG) {}
void CEffect::ReceiveParam(char*) {}
void CEffect::Prepare() {}
void CEffect::End() {}
void CEffect::MessageHandler(HWND, UINT, UINT, LONG) {}
void CEffect::ReceiveInt(char*, int, LONG) {}
void CEffect::ReceiveFloat(char*, float, LONG) {}
void CEffect::ReceiveString(char*, char*, LONG) {}
void CEffect::RenderFrameEx(LONG, LONG) {}
