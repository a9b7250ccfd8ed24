#include "tools/datagen/Noise.h"

#include <cmath>

namespace valmere::datagen {

namespace {

// A 32-bit integer mix (xorshift-multiply): every input bit reaches every
// output bit, which is all the lattice needs.
std::uint32_t Hash(std::uint32_t value) {
    value ^= value >> 16;
    value *= 0x7FEB352Du;
    value ^= value >> 15;
    value *= 0x846CA68Bu;
    value ^= value >> 16;
    return value;
}

int Wrap(int value, int period) {
    const int wrapped = value % period;
    return wrapped < 0 ? wrapped + period : wrapped;
}

} // namespace

float LatticeValue(std::uint32_t seed, int x, int y) {
    const std::uint32_t key =
        Hash(seed ^ Hash(static_cast<std::uint32_t>(x) ^ Hash(static_cast<std::uint32_t>(y) + 0x9E3779B9u)));
    // The top 24 bits fit a float's mantissa exactly.
    return static_cast<float>(key >> 8) / 16777216.0f;
}

float SmoothStep(float edge0, float edge1, float x) {
    float t = (x - edge0) / (edge1 - edge0);
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    return t * t * (3.0f - 2.0f * t);
}

float Mix(float a, float b, float t) { return a + (b - a) * t; }

float ValueNoise(std::uint32_t seed, float x, float y, int periodX, int periodY) {
    const float cellX = std::floor(x);
    const float cellY = std::floor(y);
    const int x0 = Wrap(static_cast<int>(cellX), periodX);
    const int y0 = Wrap(static_cast<int>(cellY), periodY);
    const int x1 = Wrap(x0 + 1, periodX);
    const int y1 = Wrap(y0 + 1, periodY);
    const float tx = SmoothStep(0.0f, 1.0f, x - cellX);
    const float ty = SmoothStep(0.0f, 1.0f, y - cellY);
    const float top = Mix(LatticeValue(seed, x0, y0), LatticeValue(seed, x1, y0), tx);
    const float bottom = Mix(LatticeValue(seed, x0, y1), LatticeValue(seed, x1, y1), tx);
    return Mix(top, bottom, ty);
}

float FractalNoise(std::uint32_t seed, float u, float v, int period, int octaves) {
    float sum = 0.0f;
    float weight = 1.0f;
    float total = 0.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        const int layerPeriod = period << octave;
        sum += weight * ValueNoise(seed + static_cast<std::uint32_t>(octave) * 1013u, u * static_cast<float>(layerPeriod),
                                   v * static_cast<float>(layerPeriod), layerPeriod, layerPeriod);
        total += weight;
        weight *= 0.5f;
    }
    return sum / total;
}

} // namespace valmere::datagen
