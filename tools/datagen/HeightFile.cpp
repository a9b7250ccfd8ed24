#include "tools/datagen/DataFiles.h"
#include "tools/datagen/Noise.h"

#include <cmath>
#include <cstdio>

namespace valmere::datagen {

namespace {

constexpr int LastIndex = 1024;
constexpr int Blocks = 18;
// Grid point (i, b) lies at world x = 4 i + 2, z = 4 b + 2.
constexpr float Spacing = 4.0f;
constexpr float Offset = 2.0f;
// The noise tile covers this many world units; the drawn terrain is 64.
constexpr float TileSize = 128.0f;

// Writes one labelled line of N + 1 values, value(i) for i = 0..N.
template <typename Value>
void WriteLine(std::FILE* out, const char* label, int block, Value value) {
    std::fprintf(out, "%s%d", label, block);
    for (int i = 0; i <= LastIndex; ++i) {
        std::fprintf(out, " %.3f", static_cast<double>(value(i)));
    }
    std::fputc('\n', out);
}

} // namespace

float TerrainHeight(float x, float z) {
    // Rolling hills up to about 8 units, steeper where the noise is high,
    // with a ramp from the near and left edges (pinned at 0 by the viewer).
    const float hills = FractalNoise(71u, x / TileSize, z / TileSize, 4, 4);
    const float ramp = SmoothStep(-2.0f, 14.0f, x) * SmoothStep(-2.0f, 14.0f, z);
    return 14.0f * std::pow(hills, 1.8f) * ramp;
}

bool WriteHeightFile(const std::string& path) {
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr) {
        return false;
    }
    std::fprintf(out, "VALMERE_TERRAIN %d %d\n", Blocks, LastIndex);
    for (int block = 0; block < Blocks; ++block) {
        const float z = Spacing * static_cast<float>(block) + Offset;
        const auto xAt = [](int i) { return Spacing * static_cast<float>(i) + Offset; };
        WriteLine(out, "height", block, [&](int i) { return TerrainHeight(xAt(i), z); });
        // Two further lines the viewer skips: ground moisture and rock cover.
        WriteLine(out, "moisture", block, [&](int i) { return FractalNoise(73u, xAt(i) / TileSize, z / TileSize, 4, 3); });
        WriteLine(out, "rock", block, [&](int i) { return FractalNoise(79u, xAt(i) / TileSize, z / TileSize, 8, 3); });
    }
    return std::fclose(out) == 0;
}

} // namespace valmere::datagen
