#include "host/random.h"

namespace {
unsigned int generatorState = 1;
unsigned int lastSeed = 1;
}

void DemoSeedRandom(unsigned int seed) { generatorState = lastSeed = seed; }

unsigned int DemoRandomSeed() { return lastSeed; }

// A linear congruential step whose upper bits give 15 well-spread bits per draw.
int DemoRandom()
{
    generatorState = generatorState * 214013u + 2531011u;
    return static_cast<int>((generatorState >> 16) & 0x7FFFu);
}
