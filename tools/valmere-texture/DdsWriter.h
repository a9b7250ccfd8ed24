// Writing a texture as a DirectDraw surface file: every level of every face
// (every slice of every volume level), laid out as texture/image/
// DdsLayout.h describes, with the header fields other readers rely on:
//
//   flags   DDSD_CAPS | HEIGHT | WIDTH | PIXELFORMAT, DDSD_LINEARSIZE (the
//           bytes of level 0) for block formats or DDSD_PITCH (the bytes of
//           one row of level 0) otherwise, DDSD_MIPMAPCOUNT with more than
//           one level, DDSD_DEPTH for volumes
//   count   the level count, also when it is 1
//   pixels  the format's row of the DDS pixel-format table: a four-character
//           code for DXT1 to DXT5 and YUV, bit count and channel masks else;
//           BC4 and BC5 the code "DX10" and a DX10 header (DXGI BC4_UNORM,
//           BC4_SNORM, BC5_UNORM or BC5_SNORM; 2D, or 3D for volumes; the
//           cube flag for cubes; array size 1), or with `legacy` the codes
//           "ATI1", "BC4S", "ATI2" and "BC5S"
//   caps    DDSCAPS_TEXTURE, with DDSCAPS_COMPLEX when the file holds more
//           than one image and DDSCAPS_MIPMAP with more than one level
//   caps 2  DDSCAPS2_CUBEMAP and all six face bits, or DDSCAPS2_VOLUME
//
// Palette formats (P8, A8P8) carry the 256 palette entries after the header.
// A level's sides need not be multiples of 4: its blocks cover them.
#pragma once

#include "tools/valmere-texture/TextureData.h"

#include <string>
#include <vector>

namespace valmere::tools {

// The whole file into `file` (replaced). False for a format no DDS pixel
// format or DXGI format describes, or a palette format without its palette.
bool BuildDdsFile(const TextureData& texture, bool legacy, std::vector<BYTE>& file);

// BuildDdsFile, then the bytes to `path` under a temporary name, renamed;
// false with the reason in `error`.
bool WriteDdsFile(const TextureData& texture, bool legacy, const std::string& path, std::string& error);

}  // namespace valmere::tools
