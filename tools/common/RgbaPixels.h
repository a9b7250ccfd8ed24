// Locked pixels of any format with a codec, decoded to 8-bit RGBA for
// writing pictures (imgdump's PAM files, the texture tool's PNG files).
#pragma once

#include "texture/codec/LockedPixels.h"
#include "texture/image/DecodedImage.h"

#include <vector>

namespace valmere::tools {

// Slice `slice` of `locked.region` as rows of red, green, blue, alpha bytes,
// top row first, through the format's codec with the descriptor's palette.
// Channels are clamped to 0..1 and rounded; signed formats are shown biased
// ((x + 1) / 2), alpha too for those that have a signed fourth channel.
// S_OK; E_FAIL for a format without a codec; a codec's failure unchanged.
HRESULT DecodeToRgba(const LockedPixels& locked, UINT slice, std::vector<BYTE>& rgba);

// The same for slice `slice` of one record of an image a reader decoded
// (its whole extent, with its palette).
HRESULT DecodeToRgba(const DecodedImage& image, UINT slice, std::vector<BYTE>& rgba);

}  // namespace valmere::tools
