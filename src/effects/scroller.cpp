// SCROLLER: a panel of white text on black rising slowly through the letterbox band: the credits,
// then from 201 s the greetings, starting again from below the screen.
#include "effects/scroller.h"

#include <GL/gl.h>

#include "effects/overlay.h"
#include "effects/scroller_started.h"

namespace {

// The moment the credits have left the screen and the greetings begin.
constexpr LONG kSecondTextStart = 201000;

// The panel rises one screen height in this many seconds, starting just below the screen.
constexpr float kSecondsPerScreen = 20.0f;
constexpr float kPanelLeft = 0.2f;
constexpr float kPanelRight = 0.8f;
constexpr float kPanelHeight = 0.73f;
constexpr float kPanelDepth = -0.45f;

}  // namespace

CScrollerEffect::CScrollerEffect() : width(0), height(0), firstTexture(0), secondTexture(0), startTime(-1) {}

CScrollerEffect::~CScrollerEffect() = default;

int CScrollerEffect::Init(int width, int height)
{
    this->width = width;
    this->height = height;
    startTime = -1;
    // The scroller is initialised only when the piece starts from its beginning (a seek back, a new
    // pass): the sliding picture must then wait for it again.
    g_scrollerStarted = false;
    firstTexture = LoadPicture("demotex\\Txts4.tga");
    secondTexture = LoadPicture("demotex\\Txts3.tga");
    return 0;
}

void CScrollerEffect::Prepare()
{
    DEMOGL_TextureUpload(firstTexture);
    DEMOGL_TextureUpload(secondTexture);
}

void CScrollerEffect::RenderFrame(LONG time)
{
    if (startTime < 0) {
        // The sliding picture waits for this to change to its bright phase.
        g_scrollerStarted = true;
        startTime = time;
    }

    PushOverlayAttributes();
    EnableColourBlend();
    EnableLetterboxScissor(width, height);
    BindModulatedTexture(time > kSecondTextStart ? secondTexture : firstTexture);
    BeginUnitSquareProjection();

    Draw(time);

    EndOverlay();
}

void CScrollerEffect::Draw(LONG time)
{
    LONG scrollStart = time > kSecondTextStart ? kSecondTextStart : startTime;
    float seconds = float(time - scrollStart) / 1000.0f;
    float bottom = seconds / kSecondsPerScreen - 1.0f;
    float top = bottom + kPanelHeight;

    glColor4f(1, 1, 1, 1);
    DrawTexturedQuad(kPanelLeft, bottom, kPanelRight, top, kPanelDepth);
}

void CScrollerEffect::End()
{
    DEMOGL_TextureUnUpload(firstTexture);
    DEMOGL_TextureUnUpload(secondTexture);
}
