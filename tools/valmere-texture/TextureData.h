// A texture held in memory, as the tool builds it and its writers take it:
// every level of every face in the layout of a DDS file (rows of pixels or
// of 4x4 blocks packed tightly, volume slices one after the other), face by
// face, level by level.
#pragma once

#include "platform/d3d8/D3D8Types.h"
#include "texture/codec/LockedPixels.h"

#include <array>
#include <vector>

namespace valmere::tools {

struct TextureData {
    D3DRESOURCETYPE type = D3DRTYPE_TEXTURE;  // 2D, cube (6 faces) or volume
    D3DFORMAT format = D3DFMT_UNKNOWN;        // a table format or a block format (BC4/BC5 included)
    UINT width = 0;
    UINT height = 0;
    UINT depth = 1;
    UINT levels = 1;
    bool hasPalette = false;  // palette formats: the 256 entries written with the file
    std::array<PALETTEENTRY, 256> palette{};
    // images[face * levels + level]
    std::vector<std::vector<BYTE>> images;

    UINT Faces() const { return type == D3DRTYPE_CUBETEXTURE ? 6 : 1; }
    UINT LevelWidth(UINT level) const { return Halved(width, level); }
    UINT LevelHeight(UINT level) const { return Halved(height, level); }
    UINT LevelDepth(UINT level) const { return Halved(depth, level); }
    std::vector<BYTE>& Image(UINT face, UINT level) { return images[std::size_t{face} * levels + level]; }
    const std::vector<BYTE>& Image(UINT face, UINT level) const { return images[std::size_t{face} * levels + level]; }

    // Sizes every image for the shape and format (zero-filled). False when a
    // level does not fit the file's 32-bit fields or memory runs out.
    bool Allocate();

    // A descriptor of one image for the codecs and the blitter: extent and
    // region the whole level, its palette when it has one. (A descriptor
    // cannot say const: keep one made from a const texture for reading.)
    LockedPixels Describe(UINT face, UINT level) const;

    static UINT Halved(UINT extent, UINT level) { return extent >> level ? extent >> level : 1; }
};

}  // namespace valmere::tools
