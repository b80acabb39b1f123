#include "app/run_settings.h"
#include "app/preset_size.h"

#include <cstring>

ContextSettings WindowSettings(const Options& options, const SStartupDat& startup, bool displayAvailable)
{
    ContextSettings settings;
    settings.title = std::string(startup.demoName, strnlen(startup.demoName, sizeof startup.demoName)) + " by " +
                     std::string(startup.groupName, strnlen(startup.groupName, sizeof startup.groupName));
    if (options.width > 0) {
        settings.renderWidth = options.width;
        settings.renderHeight = options.height;
    } else {
        PresetSize(startup.renderSizePreset, settings.renderWidth, settings.renderHeight);
    }
    // A benchmark measures rendering, not a window system's presentation.
    settings.headless = options.headless || options.benchmark || (!options.capturePath.empty() && !displayAvailable);
    settings.fullscreen = options.fullscreen || startup.startFullscreen;
    settings.resizable = startup.resizableWindow;
    settings.vsync = startup.enableVsync && !options.noVsync;
    settings.hideCursorInFullscreen = startup.hideCursorInFullscreen;
    settings.keepAspect = startup.keepAspect;
    return settings;
}

PlaySettings PlaySettingsOf(const Options& options)
{
    PlaySettings settings;
    settings.timelinePath = options.timelinePath;
    settings.fps = options.fps;
    settings.startMs = options.startMs;
    settings.endMs = options.endMs;
    settings.frameWidth = options.frameWidth;
    settings.frameHeight = options.frameHeight;
    settings.passes = options.passes;
    settings.loop = options.loop;
    settings.benchmark = options.benchmark;
    settings.quiet = options.quiet;
    settings.mute = options.mute;
    return settings;
}
