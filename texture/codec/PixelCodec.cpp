#include "texture/codec/PixelCodec.h"

#include "texture/codec/DitherTable.h"

#include <new>

namespace valmere {

PixelCodec::PixelCodec(const LockedPixels& locked, UINT bytesPerPixel, NumericKind kind)
    : pixels_(static_cast<std::byte*>(locked.pixels)),
      format_(locked.format),
      rowPitch_(locked.rowPitch),
      slicePitch_(locked.slicePitch),
      bytesPerPixel_(bytesPerPixel),
      box_(locked.region),
      width_(locked.region.Right - locked.region.Left),
      height_(locked.region.Bottom - locked.region.Top),
      depth_(locked.region.Back - locked.region.Front),
      kind_(kind),
      keyed_(locked.colorKey != 0),
      key_(locked.colorKey),
      dither_(locked.dither ? &OrderedDitherMatrix : &NoDitherMatrix) {
    if (bytesPerPixel_ != 0 && pixels_ != nullptr) {
        pixels_ += static_cast<std::ptrdiff_t>(bytesPerPixel_) * box_.Left +
                   rowPitch_ * static_cast<std::ptrdiff_t>(box_.Top) +
                   slicePitch_ * static_cast<std::ptrdiff_t>(box_.Front);
        box_ = D3DBOX{0, 0, width_, height_, 0, depth_};
    }
}

PixelCodec::~PixelCodec() = default;

HRESULT PixelCodec::AcceptSourceKind(NumericKind source) {
    if (source == kind_ || source == NumericKind::Same) return S_OK;
    if (!remapRow_) {
        remapRow_.reset(new (std::nothrow) D3DXCOLOR[width_ == 0 ? 1 : width_]);
        if (!remapRow_) return E_OUTOFMEMORY;
    }
    sourceKind_ = source;
    return S_OK;
}

const D3DXCOLOR* PixelCodec::InOwnKind(const D3DXCOLOR* row) {
    if (sourceKind_ == NumericKind::Same) return row;
    RemapRowKind(remapRow_.get(), row, width_, kind_, sourceKind_);
    return remapRow_.get();
}

void PixelCodec::ClearKeyed(D3DXCOLOR* row) const {
    if (keyed_) ClearKeyedPixels(row, width_, key_);
}

HRESULT AcceptSourceKind(PixelCodec& destination, const PixelCodec& source) {
    return destination.AcceptSourceKind(source.Kind());
}

void ClearKeyedPixels(D3DXCOLOR* row, UINT count, const D3DXCOLOR& key) {
    for (UINT i = 0; i < count; ++i) {
        if (row[i] == key) row[i] = D3DXCOLOR(0.0f, 0.0f, 0.0f, 0.0f);
    }
}

}  // namespace valmere
