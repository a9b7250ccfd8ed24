// Colour half encoder: representatives quantised to 5:6:5 with error
// diffusion, the endpoint fit, then index assignment with error diffusion.
// Four blocks run side by side; their modes and special cases are lane
// selects, not branches.
#include "texture/dxt/BlockDiffusion.h"
#include "texture/dxt/ByteOrder.h"
#include "texture/dxt/ColorBlock.h"

namespace valmere {

template <bool kAllowTransparency>
void PackColorBlocks(std::uint8_t* blocks, int stride, int count, const BlockLanes& pixels, const BlockLanes& codes) {
    const Float4 zero = {};
    const Float4* alpha = pixels.channel[kAlpha];
    Int4 transparent[16];
    Int4 transparentCount = {};
    for (int i = 0; i < 16; ++i) {
        transparent[i] = kAllowTransparency ? alpha[i] < 0.5f : Int4{};
        transparentCount -= transparent[i];
    }
    const Int4 allTransparent = transparentCount == 16;
    const Int4 three = transparentCount > 0;
    const Float4 last = three ? zero + 2.0f : zero + 3.0f;

    // The fit sees the colours a dithered 5:6:5 image would hold.
    const RgbLanes weights = Broadcast(kChannelWeights[0], kChannelWeights[1], kChannelWeights[2]);
    const RgbLanes step = Broadcast(1.0f / 31.0f, 1.0f / 63.0f, 1.0f / 31.0f);
    RgbLanes representatives[16];
    for (int i = 0; i < 16; ++i) {
        const RgbLanes code = {codes.channel[kRed][i], codes.channel[kGreen][i], codes.channel[kBlue][i]};
        representatives[i] = code * step * weights;
    }
    RgbLanes a;
    RgbLanes b;
    FitColorEndpoints(representatives, three, a, b);
    const Int4 e = WeightedToRgb565(a);
    const Int4 f = WeightedToRgb565(b);
    const Int4 same = e == f;

    // Four-colour blocks need colour0 > colour1, three-colour ones <=.
    const Int4 eFirst = (f < e) ^ three;
    const UInt4 colour0 = UInt4(eFirst ? e : f);
    const UInt4 colour1 = UInt4(eFirst ? f : e);
    const RgbLanes p0 = WeightedFromRgb565(e);
    const RgbLanes p1 = WeightedFromRgb565(f);
    const RgbLanes entry0 = Select(eFirst, p0, p1);
    const RgbLanes entry1 = Select(eFirst, p1, p0);
    const RgbLanes span = entry1 - entry0;
    const RgbLanes entry2 = entry0 + span * (three ? zero + 0.5f : zero + kOneThird);
    const RgbLanes entry3 = entry0 + span * (zero + kTwoThirds);

    // Projection onto the endpoint line, scaled so positions run 0..last.
    const Float4 scale = same ? zero : last / Dot(span, span);
    const RgbLanes dir = span * scale;

    // Only the projection t = (w - entry0) . dir decides an index, and it is
    // linear in w, so the diffused error is carried as its projection.
    // Linear positions 0..3 are the entries [0, 2, 3, 1] (four colours) or
    // [0, 2, 1] (three colours).
    const Float4 positionValue[4] = {Dot(entry0 - entry0, dir), Dot(entry2 - entry0, dir),
                                     Dot(Select(three, entry1, entry3) - entry0, dir), Dot(entry1 - entry0, dir)};
    const Int4 positionIndex2 = three ? Int4{} + 1 : Int4{} + 3;

    BlockDiffusion<Float4> diffusion;
    UInt4 indices = {};
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i) {
        const RgbLanes w = {pixels.channel[kRed][i], pixels.channel[kGreen][i], pixels.channel[kBlue][i]};
        const Float4 t = Dot(w * weights - entry0, dir) + diffusion.At(i);
        // The position is truncate(x): 0 at or below 0 (and for NaN), the
        // last position at or past it, else rounded.
        const Float4 x = Min4(Max4(t, zero), last) + 0.5f;
        const Float4 residual = t - PickByPosition(x, positionValue, 4);
        const Int4 position = TruncateInRange(x);
        Int4 index = position == 1 ? Int4{} + 2 : (position == 2 ? positionIndex2 : (position == 3 ? Int4{} + 1 : Int4{}));
        if constexpr (kAllowTransparency) {
            // A transparent pixel of a three-colour block takes index 3 and
            // passes no error on.
            const Int4 skip = three & transparent[i];
            index = skip ? Int4{} + 3 : index;
            diffusion.SpreadExcept(i, residual, skip);
        } else {
            diffusion.Spread(i, residual);
        }
        indices |= UInt4(index) << (2 * i);
    }

    for (int k = 0; k < count; ++k) {
        std::uint8_t* block = blocks + k * stride;
        std::uint32_t c0 = colour0[k], c1 = colour1[k], word = indices[k];
        if (allTransparent[k]) {
            c0 = 0x0000;
            c1 = 0xFFFF;
            word = 0xFFFFFFFFu;
        } else if (!three[k] && same[k]) {
            c0 = c1 = static_cast<std::uint32_t>(e[k]);
            word = 0;
        }
        Store16(block, static_cast<std::uint16_t>(c0));
        Store16(block + 2, static_cast<std::uint16_t>(c1));
        StoreBytes(block + 4, word, 4);
    }
}

template void PackColorBlocks<false>(std::uint8_t*, int, int, const BlockLanes&, const BlockLanes&);
template void PackColorBlocks<true>(std::uint8_t*, int, int, const BlockLanes&, const BlockLanes&);

}  // namespace valmere
