// What the texture-from-file core takes from the image when the caller
// leaves it open: the format, the working palette, the mip pass. The
// texture tool, which builds the same textures without a device, asks the
// same questions here.
#pragma once

#include "texture/D3DXTexture.h"
#include "texture/image/DecodedImage.h"

namespace valmere {

constexpr UINT kPaletteEntries = 256;

// Whether the levels the file lacks are made by D3DXFilterTexture with the
// mip filter (filter type NONE, or mip filter POINT or BOX) rather than
// scaled from the file's smallest level with the filter.
bool UsesMipFilterPass(DWORD filter, DWORD mipFilter);

// The format of the image as a texture would have it: its own format, with
// a 1-bit alpha asked for when a colour key meets a format without alpha,
// made public (ToPublicFormat), and R8G8B8 as X8R8G8B8 outside
// D3DPOOL_SCRATCH.
D3DFORMAT FormatForImage(const DecodedImage& image, D3DCOLOR colorKey, DWORD usage, D3DPOOL pool,
                         D3DRESOURCETYPE type);

// The palette every level load reads: the image's with the colour key's
// entries made transparent black (the key compared in palette byte order:
// red, green, blue, flags against the key's red, green, blue, alpha), or all
// entries opaque white without a palette. A palette spends the key: it is
// then 0, so the loads apply it no further.
void BuildWorkingPalette(const DecodedImage& image, D3DCOLOR& colorKey, PALETTEENTRY (&palette)[kPaletteEntries]);

// A palette format as it is kept without a palette out-parameter: A8P8 as
// A8R8G8B8, P8 as X8R8G8B8 (A8R8G8B8 when an entry is not opaque); any
// other format unchanged.
D3DFORMAT WidenPaletteFormat(D3DFORMAT format, const PALETTEENTRY (&palette)[kPaletteEntries]);

}  // namespace valmere
