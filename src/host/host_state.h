// What the host keeps between the program's calls: the registered effects, the variables set
// before the run, and, during the run, the archive, the context and the textures.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "sound/soundtrack.h"
#include "host/archive.h"
#include "host/demogl.h"
#include "player/context.h"
#include "host/textures.h"

struct RegisteredEffect {
    CEffect* effect;
    std::string name;
    // Its End deleted textures: Init must load them again before the next Prepare.
    bool needsInit = false;
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
    std::unique_ptr<GlContext> context;
    std::unique_ptr<TextureStore> textures;
    std::set<std::string> glExtensions;
    bool extensionsDisabled = false;
    std::unique_ptr<audio::Soundtrack> soundtrack;  // null: the run is silent
};

HostState& Host();

// Messages to the user: one line each, on stderr, prefixed with the program's name.
void HostError(const std::string& message);
void HostWarning(const std::string& message);

// Plays the demo with the registered effects; returns the process exit status.
int RunDemo(HostState& host, HINSTANCE instance, const SStartupDat& startup, const char* title);
