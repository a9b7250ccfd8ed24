// Deterministic, tileable value noise for the generated data files. The
// lattice wraps with the given period, so a texture sampled over one period
// repeats without a seam.
#pragma once

#include <cstdint>

namespace valmere::datagen {

// A value in [0, 1) for the lattice point (x, y), fixed by the seed.
float LatticeValue(std::uint32_t seed, int x, int y);

// Smoothly interpolated lattice values at (x, y), in lattice units. The
// lattice repeats every periodX points in x and every periodY in y.
float ValueNoise(std::uint32_t seed, float x, float y, int periodX, int periodY);

// A fractal sum of `octaves` layers of ValueNoise over one tile: (u, v) in
// [0, 1) covers the tile, the first layer has `period` lattice cells across
// it and each further layer twice as many at half the weight. The result
// lies in [0, 1].
float FractalNoise(std::uint32_t seed, float u, float v, int period, int octaves);

// 0 below edge0, 1 above edge1, a smooth cubic step between.
float SmoothStep(float edge0, float edge1, float x);

float Mix(float a, float b, float t);

} // namespace valmere::datagen
