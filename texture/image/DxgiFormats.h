// The DXGI formats of a DDS file's DX10 header (DdsLayout.h), by number, and
// how the reader reads those that map onto the format table:
//
//   B8G8R8A8, B8G8R8X8, B5G6R5, B5G5R5A1, B4G4R4A4, R10G10B10A2, R16G16,
//   R16G16 and R8G8B8A8 signed, R8G8 signed, R8, R16, A8, BC1 to BC3
//       the bytes as they are, as the table format of the same layout
//       (R8 and R16 as luminance, the signed ones as V8U8, V16U16, Q8W8V8U8)
//   R8G8B8A8      red and blue swapped into A8R8G8B8
//   R8G8          widened into X8R8G8B8 (red, green, blue 0), as BC5
//   BC4 to BC7    decoded on load (texture/format/BlockFormat.h)
//
// The _TYPELESS and _SRGB forms read as their UNORM forms (BC6H_TYPELESS as
// UF16). Every other format, and every number past the last, is refused by
// name.
#pragma once

#include "texture/format/BlockFormat.h"
#include "texture/format/PixelFormat.h"

namespace valmere::dds {

constexpr UINT kDxgiFormatCount = 116;  // 0 (UNKNOWN) .. 115 (B4G4R4A4_UNORM)

enum class DxgiPixels : UINT {
    AsStored,        // the layout of `stored`
    SwapRedBlue,     // bytes red, green, blue, alpha
    RedGreenToXrgb,  // two bytes, red then green
};

struct DxgiFormatRow {
    UINT number;
    // The table or block format whose layout the file's levels have, and the
    // one the reader gives (before a block format's decoding).
    D3DFORMAT stored;
    D3DFORMAT result;
    DxgiPixels pixels;
};

// "BC7_UNORM" for 98; "unknown" past the last number.
const char* DxgiFormatName(UINT number);
// The row of a DXGI format the reader reads, or null.
const DxgiFormatRow* FindDxgiFormat(UINT number);
// The first row that stores `format` as it is (for a writer), or null.
const DxgiFormatRow* FindDxgiFormatOf(D3DFORMAT format);

}  // namespace valmere::dds
