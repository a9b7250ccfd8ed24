#include "tools/datagen/DataFiles.h"
#include "tools/datagen/Noise.h"

namespace valmere::datagen {

Image MakeTerrainTexture() {
    const Color lushGrass{0.33f, 0.52f, 0.17f};
    const Color dryGrass{0.50f, 0.55f, 0.24f};
    const Color shadow{0.16f, 0.30f, 0.08f};
    const Color earth{0.45f, 0.35f, 0.22f};
    return PaintImage(256, [&](float u, float v) {
        // Broad colour changes, then dense short blades, then a few bare
        // spots; every layer tiles over the texture.
        const float meadow = FractalNoise(11u, u, v, 4, 4);
        Color color = MixColor(lushGrass, dryGrass, SmoothStep(0.35f, 0.75f, meadow));
        // Blades: cells four times as tall as they are wide.
        const float blades = ValueNoise(23u, u * 128.0f, v * 32.0f, 128, 32) * 0.6f +
                             ValueNoise(29u, u * 64.0f, v * 64.0f, 64, 64) * 0.4f;
        color = MixColor(color, shadow, SmoothStep(0.45f, 0.95f, blades) * 0.55f);
        const float bare = FractalNoise(31u, u, v, 3, 5);
        color = MixColor(color, earth, SmoothStep(0.62f, 0.72f, bare) * 0.8f);
        const float grit = FractalNoise(37u, u, v, 64, 2);
        return Scale(color, 0.85f + 0.3f * grit);
    });
}

} // namespace valmere::datagen
