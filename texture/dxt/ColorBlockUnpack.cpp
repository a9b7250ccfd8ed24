#include "texture/dxt/ByteOrder.h"
#include "texture/dxt/ColorBlock.h"

namespace valmere {

void UnpackColorBlock(D3DXCOLOR* pixels, const std::uint8_t* block) {
    const std::uint16_t code0 = Load16(block);
    const std::uint16_t code1 = Load16(block + 2);
    const std::uint32_t indices = Load32(block + 4);
    D3DXCOLOR palette[4];
    palette[0] = FromRgb565(code0);
    palette[1] = FromRgb565(code1);
    const D3DXCOLOR span = palette[1] - palette[0];
    if (code0 > code1) {
        palette[2] = palette[0] + span * kOneThird;
        palette[3] = palette[0] + span * kTwoThirds;
    } else {
        palette[2] = palette[0] + span * 0.5f;
        palette[3] = D3DXCOLOR(0.0f, 0.0f, 0.0f, 0.0f);
    }
    for (int i = 0; i < 16; ++i) pixels[i] = palette[(indices >> (2 * i)) & 3];
}

}  // namespace valmere
