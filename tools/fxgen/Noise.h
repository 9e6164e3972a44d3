// Smooth value noise for generated textures and force fields.
#pragma once

#include <cstdint>

// In [0, 1], smooth between integer lattice points.
float ValueNoise(float x, float y, uint32_t seed);
// Octaves of value noise, each twice the frequency and half the amplitude.
float FractalNoise(float x, float y, int octaves, uint32_t seed);
float Clamp01(float x);
float SmoothStep(float edge0, float edge1, float x);
