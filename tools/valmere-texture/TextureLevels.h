// Walking the images of a 2D, cube or volume texture in the order a DDS file
// stores them (faces outer, levels inner), each locked read-only.
#pragma once

#include "platform/d3d8/Direct3D8.h"
#include "texture/codec/LockedPixels.h"

#include <functional>

namespace valmere::tools {

// What a texture is: its kind, format, level 0's size and its counts.
struct TextureShape {
    D3DRESOURCETYPE type = D3DRTYPE_TEXTURE;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    UINT width = 0;
    UINT height = 0;
    UINT depth = 1;
    UINT levels = 0;
    UINT faces = 1;  // 6 for a cube texture
};

// S_OK; D3DERR_INVALIDCALL for a null texture or a resource that is not a
// texture; GetLevelDesc's failure unchanged.
HRESULT DescribeTexture(IDirect3DBaseTexture8* texture, TextureShape& shape);

// Receives one locked image: the whole level (`locked.region` equals
// `locked.extent`, slices for volumes), valid only during the call.
using LevelVisitor = std::function<HRESULT(UINT face, UINT level, const LockedPixels& locked)>;

// Calls `visit` for every level of every face; `palette` (256 entries or
// null) goes into each descriptor. A D3DPOOL_DEFAULT 2D or cube level is read
// through a system-memory copy; a default-pool volume cannot be read
// (LockBox's D3DERR_INVALIDCALL). Stops at the first failure, a visitor's
// included, and returns it.
HRESULT ForEachLevel(IDirect3DBaseTexture8* texture, const PALETTEENTRY* palette, const LevelVisitor& visit);

}  // namespace valmere::tools
