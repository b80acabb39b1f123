// The names the program registers its effects under, and the param texts each effect reads. The
// program registers from these names and the archive's generator checks the timeline against
// them, so a timeline that the program would refuse is refused when the archive is built.
#pragma once

#include <vector>

#include "host/timeline_params.h"

namespace effect_name {
inline constexpr char kSnow[] = "SNOW";
inline constexpr char kStar[] = "STAR";
inline constexpr int kCubeCount = 9;
// The nine cubes differ only by the name the timeline starts them under.
inline constexpr const char* kCubes[kCubeCount] = {"CUBE",  "CUBE2", "CUBE3", "CUBE4", "CUBE5",
                                                   "CUBE6", "CUBE7", "CUBE8", "CUBE9"};
inline constexpr char kLogo[] = "LOGO";
inline constexpr char kLine[] = "LINE";
inline constexpr char kSpot[] = "SPOT";
inline constexpr char kSpot2[] = "SPOT2";
inline constexpr char kSpot3[] = "SPOT3";
inline constexpr char kSpot4[] = "SPOT4";
inline constexpr char kSplash[] = "SPLASH";
inline constexpr char kNdSplash[] = "NDSPLASH";
inline constexpr char kZep[] = "ZEP";
inline constexpr char kRCube[] = "RCUBE";
inline constexpr char kRCube2[] = "RCUBE2";
inline constexpr char kScroller[] = "SCROLLER";
inline constexpr char kControl[] = "CONTROL";
}  // namespace effect_name

// Every registered effect in registration order, with the param texts it reads (only the frame
// clear reads any).
const std::vector<EffectParameters>& EffectCatalog();

// The names alone, in the same order.
std::vector<std::string> EffectCatalogNames();
