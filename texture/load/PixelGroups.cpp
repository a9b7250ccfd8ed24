#include "texture/load/PixelGroups.h"

#include "texture/dxt/DxtBlock.h"
#include "texture/format/PixelFormat.h"

namespace valmere {

PixelGroup PixelGroupOf(D3DFORMAT format) {
    if (const BlockFormatInfo* block = FindBlockFormat(format)) return {4, 4, block->bytesPerBlock};
    if (format == D3DFMT_UYVY || format == D3DFMT_YUY2) return {2, 1, 4};
    const PixelFormatInfo& row = GetFormatInfo(format);
    if (row.format == D3DFMT_UNKNOWN) return {1, 1, 0};
    return {1, 1, row.bitsPerPixel / 8};
}

bool IsPalettized(D3DFORMAT format) { return format == D3DFMT_P8 || format == D3DFMT_A8P8; }

}  // namespace valmere
