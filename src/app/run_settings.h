// The command line and the start-up record turned into what the window and the player take.
#pragma once

#include "app/options.h"
#include "host/demogl.h"
#include "player/context.h"
#include "player/play_settings.h"

// The window's title, size, mode and manners; headless when asked, for a benchmark, and for a
// capture with no display to show it on.
ContextSettings WindowSettings(const Options& options, const SStartupDat& startup, bool displayAvailable);

PlaySettings PlaySettingsOf(const Options& options);
