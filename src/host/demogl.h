// The demo system's interface: the effect base class, the start-up record and the host calls.
// Effects and the entry function compile against this header only.
#pragma once

#include <cstddef>

#include "platform/platform.h"

class CEffect {
public:
    CEffect();
    virtual ~CEffect();

    // Called once after the GL context exists, with the render size in pixels.
    virtual int Init(int width, int height);
    // Called once per frame while the timeline runs the effect; time is the frame time in ms.
    virtual void RenderFrame(LONG time);
    // A text parameter sent by the timeline.
    virtual void ReceiveParam(char* text);
    // Called when the timeline starts the effect.
    virtual void Prepare();
    // Called when the timeline stops the effect, and for every running effect when the demo ends.
    virtual void End();
    virtual void MessageHandler(HWND window, UINT message, UINT wordParam, LONG longParam);
    virtual void ReceiveInt(char* name, int value, LONG time);
    virtual void ReceiveFloat(char* name, float value, LONG time);
    virtual void ReceiveString(char* name, char* value, LONG time);
    virtual void RenderFrameEx(LONG time, LONG frameLength);
};

// The start-up record, 544 bytes with natural alignment. What each field means to this host:
struct SStartupDat {
    bool startFullscreen;            // 0: open fullscreen instead of a window (--fullscreen also does)
    std::int32_t renderSizePreset;   // 4: render size when --size is absent: 0 640x480, 1 1024x768, 2 1280x720
    bool showLoadingBar;             // 8: draw a progress bar while the effects load
    bool enableVsync;                // 9: wait for the display's refresh when playing (--no-vsync overrides)
    bool enableKeys;                 // 10: the player's keys (quit, pause, fullscreen, screenshot, skip)
    char demoName[256];              // 11: first half of the window title
    char groupName[256];             // 267: second half of the window title ("<demo> by <group>")
    bool resizableWindow;            // 523: the window may be resized; the picture is scaled to fit
    bool keepAspect;                 // 524: scale the picture with black bars instead of stretching it
    bool hideCursorInFullscreen;     // 525
    std::int32_t startTimeMs;        // 528: demo time of the first frame shown when --start is not given
    bool quitOnEscape;               // 532: Esc and Q end the run
    bool pauseOnSpace;               // 533: Space stops and restarts the clock
    bool disableExtensions;          // 534: answer "not available" to every extension (as --no-extensions)
    bool quiet;                      // 535: no progress line (as --quiet)
    bool timelineFromArchive;        // 536: read the timeline from the archive; if false, --timeline is required
    std::int32_t loadingBarPercent;  // 540: width of the loading bar in percent of the window's width
};

// Variable ids of DEMOGL_SetVariable.
enum DemoVariable {
    DEMOGL_VAR_USEARCHIVE = 1,     // bool: read data from the archive named by variable 4; this host
                                   //   has no other source, so false makes the run refuse to start
    DEMOGL_VAR_LOGLEVEL = 2,       // int: 0 silent, 1 warnings (missing pictures and such)
    DEMOGL_VAR_ARCHIVENAME = 4,    // text: file name of the data archive
    DEMOGL_VAR_SHOWDEBUGINFO = 6,  // bool: print each timeline event as it happens
    DEMOGL_VAR_STARTPAUSED = 9,    // bool: playback opens paused on its first frame (Space starts it)
    DEMOGL_VAR_EXITONEND = 12,     // bool: end the run when the timeline ends; if false, playback
                                   //   keeps the last frame on screen until the user quits
};

void DEMOGL_SetVariable(int id, bool value);
void DEMOGL_SetVariable(int id, int value);
void DEMOGL_SetVariable(int id, const char* value);

// Registers an effect under a name the timeline uses. The object must outlive the run.
// Returns 0, or -1 (with a message) for a null object or a name already taken.
int DEMOGL_EffectRegister(CEffect* effect, const char* name);

// Plays the demo and returns when it ends: 0 after a normal end or when the user quits, otherwise
// the process exit status (1: the run could not take place, 2: a bad command-line option).
int DEMOGL_AppRun(HINSTANCE instance, const SStartupDat* startup, const char* title, bool useCrtDialog,
                  unsigned char soundSystem, unsigned char frameLimit, int startRunMode);
void DEMOGL_AppEnd();

// Texture arguments after the archive path, as this host reads them:
//   fileFormat      3 = TGA (the only format the archive holds)
//   mipmapLevels    0 = base level only
//   wrapS, wrapT    GL wrap modes (GL_REPEAT, GL_CLAMP, ...)
//   minFilter, magFilter   GL filters (GL_LINEAR, GL_NEAREST)
//   generateMipmaps, compress   not used by this host
//   borderWidth     0
//   internalFormat  0 = 8-bit RGB (GL_RGB8), else a GL internal format such as GL_RGB5_A1
//   dimensions      2 = a 2D texture
// Returns a GL texture name reserved for the picture; a file that is missing or cannot be decoded
// gives a black picture and one warning naming it. One decode per file name, shared.
unsigned int DEMOGL_TextureLoad(const char* path, int fileFormat, int mipmapLevels, int wrapS, int wrapT,
                                int minFilter, int magFilter, bool generateMipmaps, bool compress,
                                int borderWidth, int internalFormat, int dimensions);
// Creates the GL storage for a loaded picture. Returns 0, or -1 for an unknown id.
int DEMOGL_TextureUpload(unsigned int id);
// Frees the GL storage but keeps the picture and its name, so it can be uploaded again.
void DEMOGL_TextureUnUpload(unsigned int id);
// Frees the GL storage, the picture and the name.
void DEMOGL_TextureDelete(unsigned int id);

// Extension ids this host answers: 0 = GL_ARB_multitexture, 35 = GL_ARB_texture_env_add (adding a
// texture to the fragment colour). Any other id is false. --no-extensions answers false to every id.
enum DemoExtension {
    DEMOGL_EXT_MULTITEXTURE = 0,
    DEMOGL_EXT_TEXTURE_ENV_ADD = 35,
};
bool DEMOGL_ExtensionCheckIfAvailable(int id);

static_assert(sizeof(bool) == 1, "the start-up record's flags are one byte");
static_assert(sizeof(SStartupDat) == 544, "the start-up record is 544 bytes");
static_assert(offsetof(SStartupDat, startFullscreen) == 0 && offsetof(SStartupDat, renderSizePreset) == 4 &&
                  offsetof(SStartupDat, showLoadingBar) == 8 && offsetof(SStartupDat, enableVsync) == 9 &&
                  offsetof(SStartupDat, enableKeys) == 10 && offsetof(SStartupDat, demoName) == 11 &&
                  offsetof(SStartupDat, groupName) == 267 && offsetof(SStartupDat, resizableWindow) == 523 &&
                  offsetof(SStartupDat, keepAspect) == 524 && offsetof(SStartupDat, hideCursorInFullscreen) == 525 &&
                  offsetof(SStartupDat, startTimeMs) == 528 && offsetof(SStartupDat, quitOnEscape) == 532 &&
                  offsetof(SStartupDat, pauseOnSpace) == 533 && offsetof(SStartupDat, disableExtensions) == 534 &&
                  offsetof(SStartupDat, quiet) == 535 && offsetof(SStartupDat, timelineFromArchive) == 536 &&
                  offsetof(SStartupDat, loadingBarPercent) == 540,
              "the start-up record's fields sit where the host reads them");
