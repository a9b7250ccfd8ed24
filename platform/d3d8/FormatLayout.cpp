#include "platform/d3d8/FormatLayout.h"

#include <array>

namespace valmere::d3d8 {
namespace {

constexpr std::array kFormats = {
    FormatLayout{D3DFMT_R8G8B8, FormatClass::Color, 24, 0, false},
    FormatLayout{D3DFMT_A8R8G8B8, FormatClass::Color, 32, 0, false},
    FormatLayout{D3DFMT_X8R8G8B8, FormatClass::Color, 32, 0, false},
    FormatLayout{D3DFMT_R5G6B5, FormatClass::Color, 16, 0, false},
    FormatLayout{D3DFMT_X1R5G5B5, FormatClass::Color, 16, 0, false},
    FormatLayout{D3DFMT_A1R5G5B5, FormatClass::Color, 16, 0, false},
    FormatLayout{D3DFMT_A4R4G4B4, FormatClass::Color, 16, 0, false},
    FormatLayout{D3DFMT_R3G3B2, FormatClass::Color, 8, 0, false},
    FormatLayout{D3DFMT_A8, FormatClass::Alpha, 8, 0, false},
    FormatLayout{D3DFMT_A8R3G3B2, FormatClass::Color, 16, 0, false},
    FormatLayout{D3DFMT_X4R4G4B4, FormatClass::Color, 16, 0, false},
    FormatLayout{D3DFMT_A2B10G10R10, FormatClass::Color, 32, 0, false},
    FormatLayout{D3DFMT_G16R16, FormatClass::Color, 32, 0, false},
    FormatLayout{D3DFMT_A8P8, FormatClass::Palette, 16, 0, false},
    FormatLayout{D3DFMT_P8, FormatClass::Palette, 8, 0, false},
    FormatLayout{D3DFMT_L8, FormatClass::Luminance, 8, 0, false},
    FormatLayout{D3DFMT_A8L8, FormatClass::Luminance, 16, 0, false},
    FormatLayout{D3DFMT_A4L4, FormatClass::Luminance, 8, 0, false},
    FormatLayout{D3DFMT_V8U8, FormatClass::Bump, 16, 0, false},
    FormatLayout{D3DFMT_L6V5U5, FormatClass::Bump, 16, 0, false},
    FormatLayout{D3DFMT_X8L8V8U8, FormatClass::Bump, 32, 0, false},
    FormatLayout{D3DFMT_Q8W8V8U8, FormatClass::Bump, 32, 0, false},
    FormatLayout{D3DFMT_V16U16, FormatClass::Bump, 32, 0, false},
    FormatLayout{D3DFMT_W11V11U10, FormatClass::Bump, 32, 0, false},
    FormatLayout{D3DFMT_A2W10V10U10, FormatClass::Bump, 32, 0, false},
    FormatLayout{D3DFMT_UYVY, FormatClass::Yuv, 16, 0, false},
    FormatLayout{D3DFMT_YUY2, FormatClass::Yuv, 16, 0, false},
    FormatLayout{D3DFMT_DXT1, FormatClass::Block, 0, 8, false},
    FormatLayout{D3DFMT_DXT2, FormatClass::Block, 0, 16, false},
    FormatLayout{D3DFMT_DXT3, FormatClass::Block, 0, 16, false},
    FormatLayout{D3DFMT_DXT4, FormatClass::Block, 0, 16, false},
    FormatLayout{D3DFMT_DXT5, FormatClass::Block, 0, 16, false},
    FormatLayout{D3DFMT_D16_LOCKABLE, FormatClass::Depth, 16, 0, false},
    FormatLayout{D3DFMT_D32, FormatClass::Depth, 32, 0, false},
    FormatLayout{D3DFMT_D15S1, FormatClass::Depth, 16, 0, true},
    FormatLayout{D3DFMT_D24S8, FormatClass::Depth, 32, 0, true},
    FormatLayout{D3DFMT_D16, FormatClass::Depth, 16, 0, false},
    FormatLayout{D3DFMT_D24X8, FormatClass::Depth, 32, 0, false},
    FormatLayout{D3DFMT_D24X4S4, FormatClass::Depth, 32, 0, true},
};

}  // namespace

const FormatLayout* FindFormatLayout(D3DFORMAT format) {
    for (const FormatLayout& row : kFormats)
        if (row.format == format) return &row;
    return nullptr;
}

bool IsBlockFormat(const FormatLayout& layout) { return layout.blockBytes != 0; }

std::size_t RowBytes(const FormatLayout& layout, unsigned width) {
    if (IsBlockFormat(layout)) return static_cast<std::size_t>((width + 3) / 4) * layout.blockBytes;
    // YUY2 and UYVY pixels come in pairs that share their chroma: an odd
    // width ends in a whole pair, whose second luma no pixel uses.
    if (layout.kind == FormatClass::Yuv) return static_cast<std::size_t>((width + 1) / 2) * 4;
    return (static_cast<std::size_t>(width) * layout.bitsPerPixel + 7) / 8;
}

unsigned RowCount(const FormatLayout& layout, unsigned height) {
    return IsBlockFormat(layout) ? (height + 3) / 4 : height;
}

}  // namespace valmere::d3d8
