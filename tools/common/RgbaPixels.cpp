#include "tools/common/RgbaPixels.h"

#include "texture/codec/PixelCodec.h"
#include "texture/load/LoadFromMemory.h"

#include <algorithm>

namespace valmere::tools {
namespace {

BYTE ToByte(float v) { return static_cast<BYTE>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); }

float Unbias(float v) { return (v + 1.0f) * 0.5f; }

}  // namespace

HRESULT DecodeToRgba(const LockedPixels& locked, UINT slice, std::vector<BYTE>& rgba) {
    std::unique_ptr<PixelCodec> codec = CreatePixelCodec(locked);
    if (!codec) {
        return E_FAIL;
    }
    const NumericKind kind = codec->Kind();
    std::vector<D3DXCOLOR> row(codec->Width());
    rgba.clear();
    rgba.reserve(std::size_t{codec->Width()} * codec->Height() * 4);
    for (UINT y = 0; y < codec->Height(); ++y) {
        const HRESULT hr = codec->DecodeRow(y, slice, row.data());
        if (FAILED(hr)) {
            return hr;
        }
        for (D3DXCOLOR c : row) {
            if (kind != NumericKind::Unsigned) {
                c.r = Unbias(c.r);
                c.g = Unbias(c.g);
                c.b = Unbias(c.b);
                if (kind == NumericKind::SignedRgba) {
                    c.a = Unbias(c.a);
                }
            }
            rgba.insert(rgba.end(), {ToByte(c.r), ToByte(c.g), ToByte(c.b), ToByte(c.a)});
        }
    }
    return S_OK;
}

HRESULT DecodeToRgba(const DecodedImage& image, UINT slice, std::vector<BYTE>& rgba) {
    // Only read, never written through the descriptor.
    const LockedPixels locked = MemorySource(image.pixels, image.format, image.rowPitch, image.slicePitch,
                                             D3DBOX{0, 0, image.width, image.height, 0, image.depth}, 0, image.palette);
    return DecodeToRgba(locked, slice, rgba);
}

}  // namespace valmere::tools
