// The program-wide random generator the particle effects draw from: integers 0..32767, one
// sequence for the whole process, so a seed fixes every particle of a run.
#pragma once

constexpr int DEMO_RANDOM_MAX = 32767;

void DemoSeedRandom(unsigned int seed);
int DemoRandom();
// The seed last given, so a fresh start of the piece can draw the same sequence again.
unsigned int DemoRandomSeed();
