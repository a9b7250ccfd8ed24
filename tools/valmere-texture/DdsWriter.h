// Writing a texture as a DirectDraw surface file: every level of every face
// (or every slice of every volume level), laid out as texture/image/
// DdsLayout.h describes, with the header fields other readers rely on:
//
//   flags   DDSD_CAPS | HEIGHT | WIDTH | PIXELFORMAT, DDSD_LINEARSIZE (the
//           bytes of level 0) for DXT1 to DXT5 or DDSD_PITCH (the bytes of one
//           row of level 0) otherwise, DDSD_MIPMAPCOUNT with more than one
//           level, DDSD_DEPTH for volumes
//   count   the level count, also when it is 1
//   pixels  the format's row of the DDS pixel-format table: a four-character
//           code for DXT1 to DXT5 and YUV, bit count and channel masks else
//   caps    DDSCAPS_TEXTURE, with DDSCAPS_COMPLEX when the file holds more
//           than one image and DDSCAPS_MIPMAP with more than one level
//   caps 2  DDSCAPS2_CUBEMAP and all six face bits, or DDSCAPS2_VOLUME
//
// Palette formats (P8, A8P8) carry the 256 palette entries after the header.
// Rows are written tightly packed, whatever the pitch of the locked level.
#pragma once

#include "platform/d3d8/Direct3D8.h"

#include <string>
#include <vector>

namespace valmere::tools {

// The whole file for `texture` into `file` (replaced). `palette` (256
// entries) is required for palette formats and ignored otherwise. S_OK;
// D3DERR_INVALIDCALL for a null texture, a format no DDS pixel format
// describes, a palette format without a palette or a level too large for the
// file's 32-bit fields; a level's lock failure unchanged. `file` is written
// only on success.
HRESULT BuildDdsFile(IDirect3DBaseTexture8* texture, const PALETTEENTRY* palette, std::vector<BYTE>& file);

// BuildDdsFile, then the bytes to `path`; E_FAIL when the file cannot be written.
HRESULT WriteDdsFile(IDirect3DBaseTexture8* texture, const PALETTEENTRY* palette, const std::string& path);

}  // namespace valmere::tools
