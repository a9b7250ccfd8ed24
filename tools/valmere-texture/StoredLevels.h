// The levels as D3DXCreateTextureFromFileEx makes them, without a device:
// the file's levels blitted into the texture's format with the filter, and
// the rest by D3DXFilterTexture's rules with the mip filter (each level from
// the stored level above for POINT and BOX, else from the last file level),
// or scaled from the file's last level with the filter (LINEAR or TRIANGLE
// mip filters after a filter other than NONE). For the sizes a device would
// also give, the bytes are those of the D3DX functions.
//
// A DXT texture whose level 0 is not a whole number of blocks (a size no
// device gives, so no D3DX bytes to keep) has every level whose sides are
// not multiples of 4 (beyond the 1- and 2-pixel levels the block codec fills
// by repetition) blitted into 16-bit channels first and padded to whole
// blocks by repeating the last row and column, so the edge blocks fit their
// own pixels. Whole-block textures keep the blitter's own edge blocks in
// their small levels, as D3DX has them.
#pragma once

#include "tools/valmere-texture/TextureData.h"
#include "tools/valmere-texture/TexturePlan.h"
#include "tools/valmere-texture/TextureSource.h"

namespace valmere::tools {

// Allocates `texture` for the plan and fills it. S_OK, E_OUTOFMEMORY, or a
// blit's failure.
HRESULT BuildStoredLevels(const TextureSource& source, const TexturePlan& plan, TextureData& texture);

}  // namespace valmere::tools
