// The program's entry: creates every effect, fills the host's start-up record, registers the
// effects under the names the timeline uses, and hands control to the host for the whole run.
#include <ctime>
#include <cstring>
#include <new>

#include "app/effect_catalog.h"
#include "effects/control.h"
#include "effects/cube.h"
#include "effects/line.h"
#include "effects/logo.h"
#include "effects/rcube.h"
#include "effects/ndsplash.h"
#include "effects/scroller.h"
#include "effects/snow.h"
#include "effects/splash.h"
#include "effects/spot.h"
#include "effects/star.h"
#include "effects/zep.h"
#include "host/demogl.h"
#include "host/random.h"

namespace {

using effect_name::kCubeCount;

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
    startup.disableExtensions = false;
    startup.quiet = false;
    startup.timelineFromArchive = true;
    startup.loadingBarPercent = 90;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    CCubeEffect* cubes[kCubeCount];
    for (CCubeEffect*& cube : cubes) cube = new (std::nothrow) CCubeEffect;
    CSnowEffect* snow = new (std::nothrow) CSnowEffect;
    CStarEffect* star = new (std::nothrow) CStarEffect;
    CLogoEffect* logo = new (std::nothrow) CLogoEffect;
    CLineEffect* line = new (std::nothrow) CLineEffect;
    CSpotEffect* spot = new (std::nothrow) CSpotEffect;
    CSpotEffect* spot2 = new (std::nothrow) CSpotEffect;
    CSpotEffect* spot3 = new (std::nothrow) CSpotEffect;
    CSpotEffect* spot4 = new (std::nothrow) CSpotEffect;
    CZepEffect* zep = new (std::nothrow) CZepEffect;
    CSplashEffect* splash = new (std::nothrow) CSplashEffect;
    CNdSplashEffect* ndsplash = new (std::nothrow) CNdSplashEffect;
    CRCubeEffect* rcube = new (std::nothrow) CRCubeEffect;
    CRCubeEffect* rcube2 = new (std::nothrow) CRCubeEffect;
    CScrollerEffect* scroller = new (std::nothrow) CScrollerEffect;
    CControlEffect* control = new (std::nothrow) CControlEffect;

    DemoSeedRandom(static_cast<unsigned int>(std::time(nullptr)));

    DEMOGL_SetVariable(DEMOGL_VAR_USEARCHIVE, true);
    DEMOGL_SetVariable(DEMOGL_VAR_LOGLEVEL, 1);
    DEMOGL_SetVariable(DEMOGL_VAR_ARCHIVENAME, "demodat.zip");
    DEMOGL_SetVariable(DEMOGL_VAR_EXITONEND, true);
    DEMOGL_SetVariable(DEMOGL_VAR_SHOWDEBUGINFO, false);
    DEMOGL_SetVariable(DEMOGL_VAR_STARTPAUSED, false);

    SStartupDat startup;
    FillStartupRecord(startup);

    using namespace effect_name;
    DEMOGL_EffectRegister(snow, kSnow);
    DEMOGL_EffectRegister(star, kStar);
    for (int i = 0; i < kCubeCount; ++i) DEMOGL_EffectRegister(cubes[i], kCubes[i]);
    DEMOGL_EffectRegister(logo, kLogo);
    DEMOGL_EffectRegister(line, kLine);
    DEMOGL_EffectRegister(spot, kSpot);
    DEMOGL_EffectRegister(spot2, kSpot2);
    DEMOGL_EffectRegister(spot3, kSpot3);
    DEMOGL_EffectRegister(spot4, kSpot4);
    DEMOGL_EffectRegister(splash, kSplash);
    DEMOGL_EffectRegister(ndsplash, kNdSplash);
    DEMOGL_EffectRegister(zep, kZep);
    DEMOGL_EffectRegister(rcube, kRCube);
    DEMOGL_EffectRegister(rcube2, kRCube2);
    DEMOGL_EffectRegister(scroller, kScroller);
    DEMOGL_EffectRegister(control, kControl);
    // What each reads from the timeline's param lines, so that a text none reads is pointed out.
    DeclareEffectParameters(EffectCatalog());

    if (spot) spot->SetKind(1);
    if (spot2) spot2->SetKind(2);
    if (spot3) spot3->SetKind(3);
    if (spot4) spot4->SetKind(4);
    if (rcube) rcube->kind = 1;
    if (rcube2) rcube2->kind = 2;

    // A run that could not take place is not reported as success.
    int status = DEMOGL_AppRun(instance, &startup, "Tarnelvois", false, 0, 0, 1);
    DEMOGL_AppEnd();

    if (snow) delete snow;
    if (star) delete star;
    for (CCubeEffect* cube : cubes)
        if (cube) delete cube;
    if (logo) delete logo;
    if (line) delete line;
    if (spot) delete spot;
    if (spot2) delete spot2;
    if (spot3) delete spot3;
    if (spot4) delete spot4;
    if (zep) delete zep;
    if (rcube) delete rcube;
    if (rcube2) delete rcube2;
    if (splash) delete splash;
    if (ndsplash) delete ndsplash;
    if (scroller) delete scroller;
    if (control) delete control;
    return status;
}
