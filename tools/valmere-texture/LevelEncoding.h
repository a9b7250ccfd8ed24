// One level of the tool's own mip chain (floating point) into the
// texture's format: block formats through the block encoders, 4x4 blocks
// gathered with the last row and column repeated past the edges; other
// formats through their codec.
//
//   DXT1..DXT5  the standard encoder, or the high-quality one
//   BC4, BC5    red (and green); signed blocks take 2v - 1 of the 0..1 values
//   normal maps in DXT4/DXT5: X in alpha, Y in green, red 1 and blue 0 (so
//               that x = red x alpha reads both this and BC5's red)
#pragma once

#include "texture/ValmereTexture.h"
#include "texture/codec/LockedPixels.h"
#include "tools/valmere-texture/Options.h"

namespace valmere::tools {

struct LevelEncoding {
    Quality quality = Quality::Standard;
    bool normalMap = false;
    bool dither = false;  // ordered dithering by the codec (non-block formats)
};

// Encodes `image` (unsigned values, 0..1) into the whole of `destination`,
// whose extent has the image's size. S_OK; E_FAIL for a format without an
// encoder; E_OUTOFMEMORY.
HRESULT EncodeLevel(const ColorImage& image, const LockedPixels& destination, const LevelEncoding& encoding);

}  // namespace valmere::tools
