#include "texture/dxt/ColorBlock.h"

#include "texture/format/Quantize.h"

namespace valmere {

std::uint16_t ToRgb565(Rgb c) {
    const int r = QuantizeTruncate(ClampChannel(c.r, 0.0f, 1.0f), 31.0f, 0.5f);
    const int g = QuantizeTruncate(ClampChannel(c.g, 0.0f, 1.0f), 63.0f, 0.5f);
    const int b = QuantizeTruncate(ClampChannel(c.b, 0.0f, 1.0f), 31.0f, 0.5f);
    return static_cast<std::uint16_t>((r << 11) | (g << 5) | b);
}

}  // namespace valmere
