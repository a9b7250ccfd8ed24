#include "texture/load/ImageDefaults.h"

#include "texture/format/PixelFormat.h"
#include "texture/load/FormatChoice.h"

#include <algorithm>
#include <cstring>

namespace valmere {
namespace {

std::uint32_t Word(const PALETTEENTRY& entry) {
    std::uint32_t word;
    std::memcpy(&word, &entry, sizeof word);
    return word;
}

}  // namespace

bool UsesMipFilterPass(DWORD filter, DWORD mipFilter) {
    const DWORD mip = mipFilter & 0xFF;
    return (filter & 0xFF) == D3DX_FILTER_NONE || mip == D3DX_FILTER_POINT || mip == D3DX_FILTER_BOX;
}

D3DFORMAT FormatForImage(const DecodedImage& image, D3DCOLOR colorKey, DWORD usage, D3DPOOL pool,
                         D3DRESOURCETYPE type) {
    D3DFORMAT format = image.format;
    const PixelFormatInfo& row = GetFormatInfo(format);
    const bool colourKind = row.kind == FormatKind::Rgb || row.kind == FormatKind::Palette ||
                            row.kind == FormatKind::Luminance;
    if (colorKey != 0 && colourKind && row.channels[1] == 0) {
        PixelFormatInfo keyed = row;
        keyed.format = D3DFMT_UNKNOWN;
        keyed.channels[1] = 1;
        const D3DFORMAT withAlpha = ChooseDeviceFormat(nullptr, usage, type, keyed);
        if (withAlpha != D3DFMT_UNKNOWN) format = withAlpha;
    }
    format = ToPublicFormat(format);
    if (pool != D3DPOOL_SCRATCH && format == D3DFMT_R8G8B8) format = D3DFMT_X8R8G8B8;
    return format;
}

void BuildWorkingPalette(const DecodedImage& image, D3DCOLOR& colorKey, PALETTEENTRY (&palette)[kPaletteEntries]) {
    if (!image.palette) {
        std::memset(palette, 0xFF, sizeof palette);
        return;
    }
    const std::uint32_t key = (colorKey & 0xFF00FF00u) | ((colorKey >> 16) & 0xFF) | ((colorKey & 0xFF) << 16);
    for (UINT i = 0; i < kPaletteEntries; ++i) {
        palette[i] = image.palette[i];
        if (colorKey != 0 && Word(palette[i]) == key) palette[i] = PALETTEENTRY{0, 0, 0, 0};
    }
    colorKey = 0;
}

D3DFORMAT WidenPaletteFormat(D3DFORMAT format, const PALETTEENTRY (&palette)[kPaletteEntries]) {
    if (format == D3DFMT_A8P8) return D3DFMT_A8R8G8B8;
    if (format != D3DFMT_P8) return format;
    const bool translucent =
        std::any_of(std::begin(palette), std::end(palette), [](const PALETTEENTRY& e) { return e.peFlags != 255; });
    return translucent ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
}

}  // namespace valmere
