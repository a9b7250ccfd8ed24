// Pixel codecs: one object per locked region and format that decodes rows of
// that region into D3DXCOLOR and encodes rows of D3DXCOLOR back into it. The
// blitter pairs a source and a destination codec; the mipmap filter does the
// same between levels.
//
// Rows and slices are counted from the region's top and front; a row is
// `Width()` pixels. Codecs are used by one thread each, but nothing is shared
// between codecs, so different codecs may run on different threads.
#pragma once

#include "math/D3DXColor.h"
#include "texture/codec/LockedPixels.h"
#include "texture/codec/NumericKind.h"

#include <cstddef>
#include <memory>

namespace valmere {

class PixelCodec {
public:
    PixelCodec(const PixelCodec&) = delete;
    PixelCodec& operator=(const PixelCodec&) = delete;
    // The YUV codec writes its pending row back here, the DXT codec any block
    // row still waiting: destroy codecs before unlocking their surfaces.
    virtual ~PixelCodec();

    // Decodes row y of slice z into `row` (Width() pixels). Pixels equal to
    // the colour key become (0, 0, 0, 0). S_OK; E_OUTOFMEMORY when the codec
    // could not allocate its working memory; D3DERR_INVALIDCALL for a row or
    // slice outside the box (nothing is touched).
    virtual HRESULT DecodeRow(UINT y, UINT z, D3DXCOLOR* row) = 0;
    // Encodes Width() pixels of `row` (never modified) into row y of slice z.
    virtual HRESULT EncodeRow(UINT y, UINT z, const D3DXCOLOR* row) = 0;
    // Rounds the colour key to the precision of the format.
    virtual void SnapColorKey() = 0;

    D3DFORMAT Format() const { return format_; }
    NumericKind Kind() const { return kind_; }
    UINT Width() const { return width_; }
    UINT Height() const { return height_; }
    UINT Depth() const { return depth_; }
    bool HasColorKey() const { return keyed_; }
    const D3DXCOLOR& ColorKey() const { return key_; }

    // Makes EncodeRow remap rows of kind `source` into this codec's kind.
    HRESULT AcceptSourceKind(NumericKind source);

protected:
    // `bytesPerPixel` 0 keeps the box in surface coordinates (YUV, DXT);
    // otherwise the pixel address moves to the box's first pixel and the box
    // is rebased to 0.
    PixelCodec(const LockedPixels& locked, UINT bytesPerPixel, NumericKind kind);

    bool InBox(UINT y, UINT z) const { return y < height_ && z < depth_; }
    // `row`, or the remapping buffer holding it in this codec's kind.
    const D3DXCOLOR* InOwnKind(const D3DXCOLOR* row);
    void ClearKeyed(D3DXCOLOR* row) const;
    // First byte of row y of slice z, both counted from the box.
    std::byte* RowAddress(UINT y, UINT z) const {
        return pixels_ + static_cast<std::ptrdiff_t>(y) * rowPitch_ + static_cast<std::ptrdiff_t>(z) * slicePitch_;
    }
    const float* DitherRow(UINT y, UINT z) const { return &(*dither_)[y & 3][z & 3]; }

    std::byte* pixels_;
    D3DFORMAT format_;
    std::ptrdiff_t rowPitch_;
    std::ptrdiff_t slicePitch_;
    UINT bytesPerPixel_;
    D3DBOX box_;
    UINT width_;
    UINT height_;
    UINT depth_;
    NumericKind kind_;
    bool keyed_;
    D3DXCOLOR key_;
    const float (*dither_)[4][8];
    NumericKind sourceKind_ = NumericKind::Same;
    std::unique_ptr<D3DXCOLOR[]> remapRow_;
};

// Codec for the region `locked` describes, or null when its format has no
// codec (depth formats other than D3DFMT_D16_LOCKABLE, D3DFMT_UNKNOWN, codes
// not in the format table), its box is inverted, or memory runs out. A
// colour key is snapped to the format before the codec is returned.
std::unique_ptr<PixelCodec> CreatePixelCodec(const LockedPixels& locked);

// Prepares `destination` to encode rows decoded by `source`: nothing when the
// kinds agree, otherwise a remapping buffer. S_OK or E_OUTOFMEMORY.
HRESULT AcceptSourceKind(PixelCodec& destination, const PixelCodec& source);

// Sets every pixel of `row` equal to `key` on all four floats to (0, 0, 0, 0).
void ClearKeyedPixels(D3DXCOLOR* row, UINT count, const D3DXCOLOR& key);

}  // namespace valmere
