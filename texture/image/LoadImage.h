// LoadImage: turns the bytes of an image file into a DecodedImage chain by
// trying every reader in a fixed order.
#pragma once

#include "texture/image/DecodedImage.h"

#include <cstddef>

namespace valmere {

// Tries BMP, PPM, DDS, JPG, PNG, TGA and DIB in turn on `bytes` and keeps the
// first reader that accepts them. Before each try the record is cleared and
// gets wantPixels, the reader's file format and D3DRTYPE_TEXTURE. On success
// every record's box covers its whole image and *info (when given) is zeroed
// and filled from the first record. D3DXERR_INVALIDDATA when no reader
// accepts the bytes (the record is then empty). Pixels may point into
// `bytes`, which must outlive the record.
HRESULT LoadImage(DecodedImage& image, const void* bytes, std::size_t size, D3DXIMAGE_INFO* info,
                  bool wantPixels);

}  // namespace valmere
