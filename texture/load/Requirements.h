// Fitting a texture's size, level count and format to a device.
#pragma once

#include "platform/d3d8/Direct3D8.h"

namespace valmere {

// The rules of D3DXCheckTextureRequirements (texture/D3DXTexture.h) for a
// 2D, cube or volume texture: reads the values through the pointers that are
// given (D3DX_DEFAULT, or D3DFMT_UNKNOWN, for the others), fixes them and
// writes back only through the given pointers, only on success.
HRESULT CheckResourceRequirements(IDirect3DDevice8* device, UINT* width, UINT* height, UINT* depth, UINT* levels,
                                  D3DFORMAT* format, D3DPOOL pool, D3DRESOURCETYPE type, DWORD usage);

// Number of levels of a full mip chain down to 1: the bit length of the
// largest extent (256 gives 9, 255 gives 8).
UINT FullChainLength(UINT width, UINT height, UINT depth = 1);

bool IsPowerOfTwo(UINT value);

}  // namespace valmere
