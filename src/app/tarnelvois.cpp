// The program's entry: creates every effect, fills the host's start-up record, registers the
// effects under the names the timeline uses, and hands control to the host for the whole run.
#include <ctime>
#include <cstring>
#include <new>

#include "effects/control.h"
#include "effects/line.h"
#include "effects/logo.h"
#include "effects/ndsplash.h"
#include "effects/scroller.h"
#include "effects/splash.h"
#include "effects/spot.h"
#include "effects/zep.h"
#include "host/demogl.h"
#include "host/random.h"

namespace {

void FillStartupRecord(SStartupDat& startup)
{
    startup.startFullscreen = false;
    startup.renderSizePreset = 1;
    startup.showLoadingBar = true;
    startup.enableVsync = true;
    startup.enableKeys = true;
    std::strncpy(startup.demoName, "TarnelVois", sizeof startup.demoName);
    std::strncpy(startup.groupName, "KorbaPlunte", sizeof startup.groupName);
    startup.resizableWindow = true;
    startup.keepAspect = true;
    startup.hideCursorInFullscreen = true;
    startup.startTimeMs = 0;
    startup.quitOnEscape = true;
    startup.pauseOnSpace = true;
    startup.loopDemo = false;
    startup.showFrameRate = false;
    startup.timelineFromArchive = true;
    startup.loadingBarPercent = 90;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    CLogoEffect* logo = new (std::nothrow) CLogoEffect;
    CLineEffect* line = new (std::nothrow) CLineEffect;
    CSpotEffect* spot = new (std::nothrow) CSpotEffect;
    CSpotEffect* spot2 = new (std::nothrow) CSpotEffect;
    CSpotEffect* spot3 = new (std::nothrow) CSpotEffect;
    CSpotEffect* spot4 = new (std::nothrow) CSpotEffect;
    CZepEffect* zep = new (std::nothrow) CZepEffect;
    CSplashEffect* splash = new (std::nothrow) CSplashEffect;
    CNdSplashEffect* ndsplash = new (std::nothrow) CNdSplashEffect;
    CScrollerEffect* scroller = new (std::nothrow) CScrollerEffect;
    CControlEffect* control = new (std::nothrow) CControlEffect;

    DemoSeedRandom(static_cast<unsigned int>(std::time(nullptr)));

    DEMOGL_SetVariable(DEMOGL_VAR_USEARCHIVE, true);
    DEMOGL_SetVariable(DEMOGL_VAR_LOGLEVEL, 1);
    DEMOGL_SetVariable(DEMOGL_VAR_ARCHIVENAME, "demodat.zip");
    DEMOGL_SetVariable(DEMOGL_VAR_EXITONEND, true);
    DEMOGL_SetVariable(DEMOGL_VAR_SHOWDEBUGINFO, false);
    DEMOGL_SetVariable(DEMOGL_VAR_RESTARTONEND, false);

    SStartupDat startup;
    FillStartupRecord(startup);

    DEMOGL_EffectRegister(logo, "LOGO");
    DEMOGL_EffectRegister(line, "LINE");
    DEMOGL_EffectRegister(spot, "SPOT");
    DEMOGL_EffectRegister(spot2, "SPOT2");
    DEMOGL_EffectRegister(spot3, "SPOT3");
    DEMOGL_EffectRegister(spot4, "SPOT4");
    DEMOGL_EffectRegister(splash, "SPLASH");
    DEMOGL_EffectRegister(ndsplash, "NDSPLASH");
    DEMOGL_EffectRegister(zep, "ZEP");
    DEMOGL_EffectRegister(scroller, "SCROLLER");
    DEMOGL_EffectRegister(control, "CONTROL");

    if (spot) spot->SetKind(1);
    if (spot2) spot2->SetKind(2);
    if (spot3) spot3->SetKind(3);
    if (spot4) spot4->SetKind(4);

    // A run that could not take place is not reported as success.
    int status = DEMOGL_AppRun(instance, &startup, "Tarnelvois", false, 0, 0, 1);
    DEMOGL_AppEnd();

    if (logo) delete logo;
    if (line) delete line;
    if (spot) delete spot;
    if (spot2) delete spot2;
    if (spot3) delete spot3;
    if (spot4) delete spot4;
    if (zep) delete zep;
    if (splash) delete splash;
    if (ndsplash) delete ndsplash;
    if (scroller) delete scroller;
    if (control) delete control;
    return status;
}
