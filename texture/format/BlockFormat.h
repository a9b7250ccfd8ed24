// The block-format table: one row per format stored in 4x4 pixel blocks.
// DXT1 to DXT5 a Direct3D 8 device holds as they are; BC4, BC5, BC6H and
// BC7 it cannot, so a reader decodes them on load into the table format of
// their row (texture/bc/BcBlocks.h says which and why) and reports that
// format. Readers, the DDS layout and the DDS writer look blocks up here
// instead of switching over format codes.
#pragma once

#include "platform/d3d8/D3D8Types.h"

#include <cstddef>
#include <cstdint>

namespace valmere {

// The library's own codes for the block formats a device cannot hold
// (four-character codes, little-endian, like the 16-bit extension formats).
// They name blocks in files and never reach a device or a codec.
constexpr D3DFORMAT kFormatBc4U = static_cast<D3DFORMAT>(MAKEFOURCC('B', 'C', '4', 'U'));
constexpr D3DFORMAT kFormatBc4S = static_cast<D3DFORMAT>(MAKEFOURCC('B', 'C', '4', 'S'));
constexpr D3DFORMAT kFormatBc5U = static_cast<D3DFORMAT>(MAKEFOURCC('B', 'C', '5', 'U'));
constexpr D3DFORMAT kFormatBc5S = static_cast<D3DFORMAT>(MAKEFOURCC('B', 'C', '5', 'S'));
constexpr D3DFORMAT kFormatBc6U = static_cast<D3DFORMAT>(MAKEFOURCC('B', 'C', '6', 'U'));
constexpr D3DFORMAT kFormatBc6S = static_cast<D3DFORMAT>(MAKEFOURCC('B', 'C', '6', 'S'));
constexpr D3DFORMAT kFormatBc7 = static_cast<D3DFORMAT>(MAKEFOURCC('B', 'C', '7', 'U'));

// Decodes `count` blocks lying one after the other into the four pixel rows
// at `out` (outPitch bytes apart), pixels in the row's decodedFormat.
using BlockRowDecoder = void (*)(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch);

struct BlockFormatRow {
    D3DFORMAT format;
    const char* name;  // "DXT1" .. "DXT5", "BC4U", "BC4S", "BC5U", "BC5S", "BC6H UF16", "BC6H SF16", "BC7"
    UINT bytesPerBlock;  // 8 or 16
    // D3DFMT_UNKNOWN when a device holds the blocks; else the table format
    // they decode to, with its bytes per pixel and decoder.
    D3DFORMAT decodedFormat;
    UINT decodedBytesPerPixel;
    BlockRowDecoder decode;
};

// The row of `format`, or null when it is not stored in blocks.
const BlockFormatRow* FindBlockFormatRow(D3DFORMAT format);

// Whether the format is one a reader decodes on load.
inline bool DecodesOnLoad(const BlockFormatRow* row) { return row && row->decodedFormat != D3DFMT_UNKNOWN; }

}  // namespace valmere
