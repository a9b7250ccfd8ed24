// The one core behind every texture-from-file entry point: decode the bytes,
// resolve the defaults, fit the texture to the device, create it and fill
// every level of every face.
#pragma once

#include "texture/D3DXTexture.h"

#include <cstddef>

namespace valmere {

// The parameters of the Ex entry points, in their order.
struct TextureRequest {
    UINT width = D3DX_DEFAULT;
    UINT height = D3DX_DEFAULT;
    UINT depth = D3DX_DEFAULT;
    UINT mipLevels = D3DX_DEFAULT;
    DWORD usage = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    D3DPOOL pool = D3DPOOL_MANAGED;
    DWORD filter = D3DX_DEFAULT;
    DWORD mipFilter = D3DX_DEFAULT;
    D3DCOLOR colorKey = 0;
    D3DXIMAGE_INFO* info = nullptr;
    PALETTEENTRY* palette = nullptr;
};

// `type` is D3DRTYPE_TEXTURE, D3DRTYPE_CUBETEXTURE or D3DRTYPE_VOLUMETEXTURE;
// *texture receives the created texture of that kind. Results as documented
// for the entry points in texture/D3DXTexture.h; request.info and
// request.palette are written only on success.
HRESULT CreateTextureFromImageMemory(IDirect3DDevice8* device, const void* data, std::size_t size,
                                     const TextureRequest& request, D3DRESOURCETYPE type,
                                     IDirect3DBaseTexture8** texture);

}  // namespace valmere
