// What the frames of a run will cost, relative to one another, read from the timeline: a frame
// costs a base amount plus a share for each effect it draws. The shares were measured once on
// the software renderer (the translucent lattices cost many times the rest); a progress line
// scales them by the time the frames already done took.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/timeline.h"

// The relative cost of one frame that draws these effects.
double FrameCost(const std::vector<std::string>& runningEffects);

// The relative costs of frames firstFrame .. firstFrame + count - 1 at fps, the effects running
// at each frame's time as the timeline starts and stops them.
std::vector<double> FrameCosts(const Timeline& timeline, std::int64_t firstFrame, std::int64_t count, int fps);
