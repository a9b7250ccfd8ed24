#include "texture/dxt/ColorBlock.h"

namespace valmere {

RgbLanes WeightedFromRgb565(Int4 codes) {
    const RgbLanes expanded = {ToFloat4(codes >> 11) * (1.0f / 31.0f), ToFloat4((codes >> 5) & 63) * (1.0f / 63.0f),
                               ToFloat4(codes & 31) * (1.0f / 31.0f)};
    return expanded * Broadcast(kChannelWeights[0], kChannelWeights[1], kChannelWeights[2]);
}

Int4 WeightedToRgb565(const RgbLanes& weighted) {
    const RgbLanes c = weighted * Broadcast(kInverseWeights[0], kInverseWeights[1], kInverseWeights[2]);
    const Float4 zero = {};
    const Float4 one = zero + 1.0f;
    auto quantize = [&](Float4 v, float scale) { return TruncateLanes(Min4(Max4(v, zero), one) * scale + 0.5f); };
    return (quantize(c.r, 31.0f) << 11) | (quantize(c.g, 63.0f) << 5) | quantize(c.b, 31.0f);
}

}  // namespace valmere
