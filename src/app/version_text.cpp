#include "app/version_text.h"

#include <SDL2/SDL.h>
#include <zip.h>

#include "sound/soundtrack.h"

#ifndef TARNELVOIS_VERSION
#define TARNELVOIS_VERSION "unknown"
#endif

namespace {

std::string Dotted(const SDL_version& version)
{
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." + std::to_string(version.patch);
}

}  // namespace

std::string VersionText(const std::string& programName)
{
    SDL_version built, linked;
    SDL_VERSION(&built);
    SDL_GetVersion(&linked);
    return programName + " " + TARNELVOIS_VERSION + "\n" +
           "SDL " + Dotted(linked) + " (built with " + Dotted(built) + ")\n" +
           "libzip " + zip_libzip_version() + " (built with " + LIBZIP_VERSION + ")\n" +
           "STK " + audio::SynthesizerVersion() + "\n";
}
