// Memory layout of every D3DFORMAT the device stores: one table row per
// format. Pixel formats give bits per pixel; block-compressed formats (DXT1
// to DXT5) give the bytes of one 4x4 block, and their pitch is the distance
// between rows of blocks.
#pragma once

#include <cstddef>

#include "platform/d3d8/D3D8Types.h"

namespace valmere::d3d8 {

enum class FormatClass { Color, Luminance, Alpha, Palette, Bump, Yuv, Block, Depth };

struct FormatLayout {
    D3DFORMAT format;
    FormatClass kind;
    unsigned bitsPerPixel;  // 0 for block formats
    unsigned blockBytes;    // bytes of a 4x4 block; 0 for pixel formats
    bool hasStencil;
};

// The row of a format, or null for a format the device does not know.
const FormatLayout* FindFormatLayout(D3DFORMAT format);

bool IsBlockFormat(const FormatLayout& layout);

// Bytes of one row of pixels (or of 4x4 blocks, or of YUY2 and UYVY pixel
// pairs) of the given width.
std::size_t RowBytes(const FormatLayout& layout, unsigned width);
// Rows of pixels (or of blocks) that hold the given height.
unsigned RowCount(const FormatLayout& layout, unsigned height);

}  // namespace valmere::d3d8
