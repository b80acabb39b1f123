// What the host keeps between the program's calls: the registered effects, the variables set
// before the run, and, during the run, the archive and the textures. The window, the clock and
// the frame loop belong to the player that runs the demo, which the host knows only as a runner.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/archive.h"
#include "host/demogl.h"
#include "host/textures.h"

struct RegisteredEffect {
    CEffect* effect;
    std::string name;
    // Its End deleted textures: Init must load them again before the next Prepare.
    bool needsInit = false;
};

struct HostState;

// What DEMOGL_AppRun hands the run to, and DEMOGL_AppEnd the clearing up to.
class DemoRunner {
public:
    virtual ~DemoRunner() = default;
    // Plays the demo with the registered effects; returns the process exit status.
    virtual int Run(HostState& host, HINSTANCE instance, const SStartupDat& startup, const char* title) = 0;
    // Lets go of what Run left open (the window and its GL context), after the textures are gone.
    virtual void End(HostState& host) = 0;
};

struct HostState {
    std::vector<RegisteredEffect> effects;
    bool registrationFailed = false;

    // Variables (see DemoVariable).
    bool useArchive = true;
    int logLevel = 1;
    std::string archiveName = "demodat.zip";
    bool showDebugInfo = false;
    bool startPaused = false;
    bool exitOnEnd = true;

    std::unique_ptr<Archive> archive;
    std::unique_ptr<TextureStore> textures;
    std::set<std::string> glExtensions;
    bool extensionsDisabled = false;
    DemoRunner* runner = nullptr;  // set by the program before its entry function runs
};

HostState& Host();

// Messages to the user: one line each, on stderr, prefixed with the program's name.
void HostError(const std::string& message);
void HostWarning(const std::string& message);
