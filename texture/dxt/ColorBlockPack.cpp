// Colour half encoder: representatives quantised to 5:6:5 with error
// diffusion, the endpoint fit, then index assignment with error diffusion.
#include "texture/dxt/BlockDiffusion.h"
#include "texture/dxt/ByteOrder.h"
#include "texture/dxt/ColorBlock.h"
#include "texture/format/Quantize.h"

namespace valmere {
namespace {

Rgb ColorOf(const D3DXCOLOR& c) { return {c.r, c.g, c.b}; }

bool IsTransparent(const D3DXCOLOR& c) { return c.a < 0.5f; }

// Pixels snapped to the 5:6:5 grid, diffusing what the snap loses, so that
// the fit sees the colours a dithered 5:6:5 image would hold.
void QuantizedRepresentatives(const D3DXCOLOR* pixels, Rgb* weighted) {
    BlockDiffusion<Rgb> diffusion;
    for (int i = 0; i < 16; ++i) {
        const Rgb c = ColorOf(pixels[i]) + diffusion.At(i);
        const Rgb q = {static_cast<float>(QuantizeTruncate(c.r, 31.0f, 0.5f)) * (1.0f / 31.0f),
                       static_cast<float>(QuantizeTruncate(c.g, 63.0f, 0.5f)) * (1.0f / 63.0f),
                       static_cast<float>(QuantizeTruncate(c.b, 31.0f, 0.5f)) * (1.0f / 31.0f)};
        diffusion.Spread(i, c - q);
        weighted[i] = q * kChannelWeights;
    }
}

void WriteBlock(std::uint8_t* block, std::uint16_t colour0, std::uint16_t colour1, std::uint32_t indices) {
    Store16(block, colour0);
    Store16(block + 2, colour1);
    StoreBytes(block + 4, indices, 4);
}

}  // namespace

void PackColorBlock(std::uint8_t* block, const D3DXCOLOR* pixels, bool allowTransparency) {
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

    Rgb representatives[16];
    QuantizedRepresentatives(pixels, representatives);
    Rgb a;
    Rgb b;
    FitColorEndpoints(representatives, colorCount, a, b);
    const std::uint16_t e = ToRgb565(a * kInverseWeights);
    const std::uint16_t f = ToRgb565(b * kInverseWeights);
    if (!three && e == f) {
        WriteBlock(block, e, e, 0);
        return;
    }

    const D3DXCOLOR pe = FromRgb565(e);
    const D3DXCOLOR pf = FromRgb565(f);
    const Rgb p0 = ColorOf(pe) * kChannelWeights;
    const Rgb p1 = ColorOf(pf) * kChannelWeights;
    // Four-colour blocks need colour0 > colour1, three-colour ones <=.
    Rgb palette[4];
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
    const Rgb span = palette[1] - palette[0];
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
    const float length2 = Dot(span, span);
    const float scale = e == f ? 0.0f : static_cast<float>(last) / length2;
    const Rgb dir = span * scale;
    const auto lastPosition = static_cast<float>(last);

    BlockDiffusion<Rgb> diffusion;
    std::uint32_t indices = 0;
    for (int i = 0; i < 16; ++i) {
        if (three && IsTransparent(pixels[i])) {
            indices |= 3u << (2 * i);
            continue;
        }
        const Rgb w = ColorOf(pixels[i]) * kChannelWeights + diffusion.At(i);
        const float t = Dot(w - palette[0], dir);
        // 0 at or below 0, the last position at or past it, else rounded;
        // without branches, which the data would mispredict.
        const float clamped = t > 0.0f ? (t < lastPosition ? t : lastPosition) : 0.0f;
        const int position = static_cast<int>(clamped + 0.5f);
        const int index = order[position];
        indices |= static_cast<std::uint32_t>(index) << (2 * i);
        diffusion.Spread(i, w - palette[index]);
    }
    WriteBlock(block, colour0, colour1, indices);
}

}  // namespace valmere
