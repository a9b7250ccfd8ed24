#include "tools/datagen/DataFiles.h"
#include "tools/datagen/Noise.h"

#include <cmath>

namespace valmere::datagen {

namespace {

constexpr int Cells = 6;

// Distances to the nearest and second-nearest stone centre from (u, v) in
// cell units, over a wrapping grid of jittered centres (a Voronoi diagram),
// and the nearest stone's cell.
struct StoneHit {
    float nearest, second;
    int cellX, cellY;
};

StoneHit FindStone(float u, float v) {
    StoneHit hit{1e9f, 1e9f, 0, 0};
    const int baseX = static_cast<int>(std::floor(u));
    const int baseY = static_cast<int>(std::floor(v));
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int cx = baseX + dx;
            const int cy = baseY + dy;
            const int wrappedX = (cx % Cells + Cells) % Cells;
            const int wrappedY = (cy % Cells + Cells) % Cells;
            const float centreX = static_cast<float>(cx) + 0.2f + 0.6f * LatticeValue(41u, wrappedX, wrappedY);
            const float centreY = static_cast<float>(cy) + 0.2f + 0.6f * LatticeValue(43u, wrappedX, wrappedY);
            const float distance = std::hypot(u - centreX, v - centreY);
            if (distance < hit.nearest) {
                hit.second = hit.nearest;
                hit = StoneHit{distance, hit.second, wrappedX, wrappedY};
            } else if (distance < hit.second) {
                hit.second = distance;
            }
        }
    }
    return hit;
}

} // namespace

Image MakeGroundTexture() {
    const Color granite{0.58f, 0.56f, 0.52f};
    const Color sandstone{0.66f, 0.58f, 0.45f};
    const Color mortar{0.25f, 0.23f, 0.20f};
    return PaintImage(256, [&](float u, float v) {
        const StoneHit hit = FindStone(u * Cells, v * Cells);
        Color stone = MixColor(granite, sandstone, LatticeValue(47u, hit.cellX, hit.cellY));
        stone = Scale(stone, 0.8f + 0.35f * FractalNoise(53u, u, v, 16, 4));
        // The joint runs where two stones are equally near; the stone
        // darkens slightly towards it, as if worn round.
        const float edge = hit.second - hit.nearest;
        stone = Scale(stone, 0.85f + 0.15f * SmoothStep(0.05f, 0.3f, edge));
        return MixColor(mortar, stone, SmoothStep(0.03f, 0.07f, edge));
    });
}

} // namespace valmere::datagen
