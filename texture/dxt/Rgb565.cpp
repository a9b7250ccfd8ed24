#include "texture/dxt/ColorBlock.h"

namespace valmere {

std::uint16_t ToRgb565(Float4 c) {
    constexpr Float4 kScale = {31.0f, 63.0f, 31.0f, 0.0f};
    const Float4 clamped = Min4(Max4(c, Float4{0, 0, 0, 0}), Float4{1, 1, 1, 1});
    const Int4 q = TruncateLanes(clamped * kScale + 0.5f);
    return static_cast<std::uint16_t>((q[0] << 11) | (q[1] << 5) | q[2]);
}

}  // namespace valmere
