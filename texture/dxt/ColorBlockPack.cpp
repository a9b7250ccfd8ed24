// Colour half encoder: representatives quantised to 5:6:5 with error
// diffusion, the endpoint fit, then index assignment with error diffusion
// (ColorIndexSearch.h). Four blocks run side by side; their modes and
// special cases are lane selects, not branches.
#include "texture/dxt/ByteOrder.h"
#include "texture/dxt/ColorBlock.h"
#include "texture/dxt/ColorIndexSearch.h"

namespace valmere {

template <bool kAllowTransparency>
ColorIndexSearch<kAllowTransparency>::ColorIndexSearch(const BlockLanes& pixels, const BlockLanes& codes)
    : pixels_(pixels), weights_(Broadcast(kChannelWeights[0], kChannelWeights[1], kChannelWeights[2])) {
    const Float4 zero = {};
    const Float4* alpha = pixels.channel[kAlpha];
    Int4 transparentCount = {};
    for (int i = 0; i < 16; ++i) {
        transparent_[i] = kAllowTransparency ? alpha[i] < 0.5f : Int4{};
        transparentCount -= transparent_[i];
    }
    allTransparent_ = transparentCount == 16;
    const Int4 three = transparentCount > 0;
    three_ = three;
    const Float4 last = three ? zero + 2.0f : zero + 3.0f;
    last_ = last;

    // The fit sees the colours a dithered 5:6:5 image would hold.
    const RgbLanes& weights = weights_;
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
    flatCode_ = ~three & same ? e : Int4{} - 1;

    // Four-colour blocks need colour0 > colour1, three-colour ones <=.
    const Int4 eFirst = (f < e) ^ three;
    colour0_ = UInt4(eFirst ? e : f);
    colour1_ = UInt4(eFirst ? f : e);
    const RgbLanes p0 = WeightedFromRgb565(e);
    const RgbLanes p1 = WeightedFromRgb565(f);
    const RgbLanes entry0 = Select(eFirst, p0, p1);
    entry0_ = entry0;
    const RgbLanes entry1 = Select(eFirst, p1, p0);
    const RgbLanes span = entry1 - entry0;
    const RgbLanes entry2 = entry0 + span * (three ? zero + 0.5f : zero + kOneThird);
    const RgbLanes entry3 = entry0 + span * (zero + kTwoThirds);

    // Projection onto the endpoint line, scaled so positions run 0..last.
    const Float4 scale = same ? zero : last / Dot(span, span);
    const RgbLanes dir = span * scale;
    dir_ = dir;
    positionValue_[0] = Dot(entry0 - entry0, dir);
    positionValue_[1] = Dot(entry2 - entry0, dir);
    positionValue_[2] = Dot(Select(three, entry1, entry3) - entry0, dir);
    positionValue_[3] = Dot(entry1 - entry0, dir);
    positionIndex2_ = three ? Int4{} + 1 : Int4{} + 3;
}

template <bool kAllowTransparency>
void ColorIndexSearch<kAllowTransparency>::Store(std::uint8_t* blocks, int stride, int count) const {
    for (int k = 0; k < count; ++k) {
        std::uint8_t* block = blocks + k * stride;
        std::uint32_t c0 = colour0_[k], c1 = colour1_[k], word = indices_[k];
        if (allTransparent_[k]) {
            c0 = 0x0000;
            c1 = 0xFFFF;
            word = 0xFFFFFFFFu;
        } else if (flatCode_[k] >= 0) {
            c0 = c1 = static_cast<std::uint32_t>(flatCode_[k]);
            word = 0;
        }
        Store16(block, static_cast<std::uint16_t>(c0));
        Store16(block + 2, static_cast<std::uint16_t>(c1));
        StoreBytes(block + 4, word, 4);
    }
}

template class ColorIndexSearch<false>;
template class ColorIndexSearch<true>;

}  // namespace valmere
