// Colour half encoder: representatives quantised to 5:6:5 with error
// diffusion, the endpoint fit, then index assignment with error diffusion.
// Colours are Float4 (r, g, b, 0); the fourth lane stays 0 throughout.
#include "texture/dxt/BlockDiffusion.h"
#include "texture/dxt/ByteOrder.h"
#include "texture/dxt/ColorBlock.h"

#include <algorithm>

namespace valmere {
namespace {

constexpr Float4 kRgbOnly = {1, 1, 1, 0};

Float4 ColorOf(const D3DXCOLOR& c) { return Load4(c) * kRgbOnly; }

bool IsTransparent(const D3DXCOLOR& c) { return c.a < 0.5f; }

void WriteBlock(std::uint8_t* block, std::uint16_t colour0, std::uint16_t colour1, std::uint32_t indices) {
    Store16(block, colour0);
    Store16(block + 2, colour1);
    StoreBytes(block + 4, indices, 4);
}

}  // namespace

void PackColorBlock(std::uint8_t* block, const D3DXCOLOR* pixels, const Float4* codes, bool allowTransparency) {
    int transparent = 0;
    if (allowTransparency) {
        for (int i = 0; i < 16; ++i) transparent += IsTransparent(pixels[i]) ? 1 : 0;
        if (transparent == 16) {
            WriteBlock(block, 0x0000, 0xFFFF, 0xFFFFFFFFu);
            return;
        }
    }
    const bool three = transparent > 0;
    const int colorCount = three ? 3 : 4;

    // The fit sees the colours a dithered 5:6:5 image would hold.
    constexpr Float4 kStep = {1.0f / 31.0f, 1.0f / 63.0f, 1.0f / 31.0f, 0.0f};
    Float4 representatives[16];
    for (int i = 0; i < 16; ++i) representatives[i] = codes[i] * kStep * kChannelWeights;
    Float4 a;
    Float4 b;
    FitColorEndpoints(representatives, colorCount, a, b);
    const std::uint16_t e = ToRgb565(a * kInverseWeights);
    const std::uint16_t f = ToRgb565(b * kInverseWeights);
    if (!three && e == f) {
        WriteBlock(block, e, e, 0);
        return;
    }

    const Float4 p0 = ColorOf(FromRgb565(e)) * kChannelWeights;
    const Float4 p1 = ColorOf(FromRgb565(f)) * kChannelWeights;
    // Four-colour blocks need colour0 > colour1, three-colour ones <=.
    Float4 palette[4];
    std::uint16_t colour0 = f;
    std::uint16_t colour1 = e;
    palette[0] = p1;
    palette[1] = p0;
    if ((f < e) != three) {
        colour0 = e;
        colour1 = f;
        palette[0] = p0;
        palette[1] = p1;
    }
    const Float4 span = palette[1] - palette[0];
    static constexpr int kFourOrder[4] = {0, 2, 3, 1};
    static constexpr int kThreeOrder[3] = {0, 2, 1};
    const int* order = kFourOrder;
    if (three) {
        palette[2] = palette[0] + span * 0.5f;
        order = kThreeOrder;
    } else {
        palette[2] = palette[0] + span * kOneThird;
        palette[3] = palette[0] + span * kTwoThirds;
    }

    // Projection onto the endpoint line, scaled so positions run 0..last.
    const int last = colorCount - 1;
    const auto lastPosition = static_cast<float>(last);
    const float scale = e == f ? 0.0f : lastPosition / Dot3(span, span);
    const Float4 dir = span * scale;

    // Only the projection t = (w - entry0) . dir decides an index, and it is
    // linear in w, so the diffused error is carried as its projection: the
    // pixels' own projections are computed up front and the sequential part
    // is scalar.
    float projected[16];
    for (int i = 0; i < 16; ++i) projected[i] = Dot3(ColorOf(pixels[i]) * kChannelWeights - palette[0], dir);
    // Projection of the entry at each linear position.
    float positionValue[4];
    for (int p = 0; p < colorCount; ++p) positionValue[p] = Dot3(palette[order[p]] - palette[0], dir);

    BlockDiffusion<float> diffusion;
    std::uint32_t indices = 0;
    for (int i = 0; i < 16; ++i) {
        if (three && IsTransparent(pixels[i])) {
            indices |= 3u << (2 * i);
            continue;
        }
        const float t = projected[i] + diffusion.At(i);
        // 0 at or below 0 (and for NaN), the last position at or past it,
        // else rounded.
        const float clamped = std::min(lastPosition, std::max(0.0f, t));
        const int position = static_cast<int>(clamped + 0.5f);
        indices |= static_cast<std::uint32_t>(order[position]) << (2 * i);
        diffusion.Spread(i, t - positionValue[position]);
    }
    WriteBlock(block, colour0, colour1, indices);
}

}  // namespace valmere
