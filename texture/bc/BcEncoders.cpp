// PackBlocksBc4 and PackBlocksBc5 (texture/ValmereTexture.h): channels of
// D3DXCOLOR pixels in code units, one channel block each.
#include "texture/ValmereTexture.h"
#include "texture/bc/BcChannelEncoder.h"

#include <cstdint>

namespace valmere {
namespace {

// Channel `channel` (0 red, 1 green) of a block's 16 pixels in code units.
void ChannelValues(const D3DXCOLOR* pixels, int channel, ChannelRange range, float* values) {
    const float scale = range == ChannelRange::Signed ? 127.0f : 255.0f;
    for (int i = 0; i < 16; ++i) values[i] = (channel == 0 ? pixels[i].r : pixels[i].g) * scale;
}

HRESULT PackChannels(void* blocks, const D3DXCOLOR* pixels, UINT count, ChannelRange range, int channels) {
    auto* out = static_cast<std::uint8_t*>(blocks);
    for (UINT b = 0; b < count; ++b) {
        for (int c = 0; c < channels; ++c) {
            float values[16];
            ChannelValues(pixels + std::size_t{b} * 16, c, range, values);
            bc::EncodeChannelBlock(values, range == ChannelRange::Signed, out + (std::size_t{b} * channels + c) * 8);
        }
    }
    return S_OK;
}

}  // namespace

HRESULT PackBlocksBc4(void* blocks, const D3DXCOLOR* pixels, UINT count, ChannelRange range) {
    return PackChannels(blocks, pixels, count, range, 1);
}

HRESULT PackBlocksBc5(void* blocks, const D3DXCOLOR* pixels, UINT count, ChannelRange range) {
    return PackChannels(blocks, pixels, count, range, 2);
}

}  // namespace valmere
