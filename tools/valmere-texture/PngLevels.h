// Writing a texture as PNG pictures: one per level, and per cube face or
// volume slice, decoded to 8-bit RGBA through the pixel codecs (palettes
// applied, signed formats biased to 0..1).
#pragma once

#include "platform/d3d8/Direct3D8.h"

#include <string>
#include <vector>

namespace valmere::tools {

// The file of one picture: `path` ("out.png") becomes "out_l<level>.png",
// with "_f<face>" for cube textures and "_s<slice>" for volume textures.
std::string PicturePath(const std::string& path, D3DRESOURCETYPE type, UINT level, UINT face, UINT slice);

// Writes every picture of `texture` and appends the names written to
// `written`. `palette` (256 entries) serves palette formats. S_OK; E_FAIL
// when a file cannot be written or the format has no codec; a lock's
// failure unchanged.
HRESULT WritePngLevels(IDirect3DBaseTexture8* texture, const PALETTEENTRY* palette, const std::string& path,
                       std::vector<std::string>& written);

}  // namespace valmere::tools
