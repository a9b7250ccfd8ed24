#include "texture/codec/PackedCodec.h"

#include "texture/codec/DitherTable.h"

namespace valmere {

HRESULT PackedCodec::DecodeRow(UINT y, UINT z, D3DXCOLOR* row) {
    if (!InBox(y, z)) return D3DERR_INVALIDCALL;
    DecodePixels(RowAddress(y, z), row, width_);
    ClearKeyed(row);
    return S_OK;
}

HRESULT PackedCodec::EncodeRow(UINT y, UINT z, const D3DXCOLOR* row) {
    if (!InBox(y, z)) return D3DERR_INVALIDCALL;
    EncodePixels(RowAddress(y, z), InOwnKind(row), width_, DitherRow(y, z));
    return S_OK;
}

void PackedCodec::SnapColorKey() {
    D3DXCOLOR key = key_;
    if (kind_ != NumericKind::Unsigned) RemapRowKind(&key, &key, 1, kind_, NumericKind::Unsigned);
    std::byte scratch[8] = {};
    EncodePixels(scratch, &key, 1, NoDitherMatrix[0]);
    DecodePixels(scratch, &key_, 1);
}

}  // namespace valmere
