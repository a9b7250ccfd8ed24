#include "tools/datagen/DataFiles.h"
#include "tools/datagen/Noise.h"

namespace valmere::datagen {

Image MakeSkyTexture() {
    const Color zenith{0.16f, 0.36f, 0.72f};
    const Color horizon{0.70f, 0.83f, 0.95f};
    const Color cloudLight{0.98f, 0.98f, 0.97f};
    const Color cloudShade{0.68f, 0.72f, 0.80f};
    // v: 0 at the wall's top edge, towards 1 at eye level. The top of the
    // box repeats the texture twice along z, so its middle shows the bottom
    // rows next to the top rows: the haze is kept to a band near eye level
    // and the blue above changes little.
    return PaintImage(256, [&](float u, float v) {
        const Color sky = MixColor(zenith, horizon, v * v * v);
        // Wide, flat clouds: about 3 noise cells across and 7 down, taken
        // from within one tile so that nothing repeats. The walls meet
        // their neighbours edge to same edge, so no horizontal tiling is
        // needed.
        const float cover = FractalNoise(61u, u * 0.375f, v * 0.9f, 8, 5);
        const float density = SmoothStep(0.50f, 0.72f, cover) * (1.0f - SmoothStep(0.75f, 1.0f, v));
        // Thicker parts of a cloud are lit less from below.
        const float shade = SmoothStep(0.6f, 0.85f, FractalNoise(67u, u * 0.375f, v * 0.9f + 0.01f, 8, 5));
        const Color cloud = MixColor(cloudLight, cloudShade, shade * 0.7f);
        return MixColor(sky, cloud, density);
    });
}

} // namespace valmere::datagen
