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
    firstTexture = DEMOGL_TextureLoad("demotex\\Txts4.tga", 3, 0, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR, false,
                                      false, 0, GL_RGB5_A1, 2);
    secondTexture = DEMOGL_TextureLoad("demotex\\Txts3.tga", 3, 0, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR,
                                       false, false, 0, GL_RGB5_A1, 2);
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
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    EnableLetterboxScissor(width, height);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, time > kSecondTextStart ? secondTexture : firstTexture);
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
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(kPanelLeft, bottom, kPanelDepth);
    glTexCoord2f(1, 0);
    glVertex3f(kPanelRight, bottom, kPanelDepth);
    glTexCoord2f(1, 1);
    glVertex3f(kPanelRight, top, kPanelDepth);
    glTexCoord2f(0, 1);
    glVertex3f(kPanelLeft, top, kPanelDepth);
    glEnd();
}

void CScrollerEffect::End()
{
    DEMOGL_TextureUnUpload(firstTexture);
    DEMOGL_TextureUnUpload(secondTexture);
}
