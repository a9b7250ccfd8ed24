// Base of the codecs whose pixels are whole bytes (every format but YUV and
// DXT): row addressing, colour keys and kind remapping done once here; the
// derived codec only converts runs of pixels.
#pragma once

#include "texture/codec/PixelCodec.h"

namespace valmere {

class PackedCodec : public PixelCodec {
public:
    HRESULT DecodeRow(UINT y, UINT z, D3DXCOLOR* row) override;
    HRESULT EncodeRow(UINT y, UINT z, const D3DXCOLOR* row) override;
    // Encodes the key (as an unsigned colour, remapped to this codec's kind)
    // without dithering into one scratch pixel and decodes it again.
    void SnapColorKey() override;

protected:
    using PixelCodec::PixelCodec;

    virtual void DecodePixels(const std::byte* source, D3DXCOLOR* out, UINT count) const = 0;
    // `dither` is the bias row for this row and slice: pixel x adds dither[x & 3].
    virtual void EncodePixels(std::byte* destination, const D3DXCOLOR* in, UINT count, const float* dither) const = 0;
};

}  // namespace valmere
