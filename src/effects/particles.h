// What the snow and the star field have in common: up to 3000 sprites kept in six parallel arrays
// of the effect (spawnX, spawnY, posX, posY, size, spawnTime), the rule for a sprite that has left
// the picture, and the additive overlay inside the letterbox band that both draw in.
#pragma once

#include <algorithm>
#include <iterator>

#include "platform/platform.h"
#include "host/random.h"

constexpr int kParticleSlots = 3000;

// The sprite pictures load as 8-bit RGB, repeating, linearly filtered.
unsigned int LoadSpriteTexture(const char* path);

// One draw of the program-wide generator scaled to 0..1.
inline float UnitRandom() { return DemoRandom() / static_cast<float>(DEMO_RANDOM_MAX); }

// A sprite is gone once it has drifted well past the left edge or fallen below the bottom.
inline bool ParticleIsDead(float x, float y) { return x < -0.5f || y < 0.0f; }

// The first frame after Init starts the effect's clock and marks every slot dead, so the update
// that follows spawns each slot it reaches.
template <class ParticleEffect>
void StartParticleClock(ParticleEffect& effect, LONG time)
{
    if (effect.startTime >= 0) return;
    effect.startTime = time;
    std::fill(std::begin(effect.posX), std::end(effect.posX), -1.0f);
}

// Saves the overlay attributes, then: additive blend (src * src + dst), the letterbox scissor,
// depth test less-or-equal, the sprite texture bound, and the unit-square projection. The
// texture environment is left as found. EndOverlay() undoes it.
void BeginSpriteOverlay(int width, int height, unsigned int texture);
