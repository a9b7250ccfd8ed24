// Codec of DXT1..DXT5 for the row-oriented blitter: reads decode one row of
// 4x4 blocks at a time into a cache; writes collect the four lines of a block
// row and encode its blocks once the last line has arrived.
#pragma once

#include "texture/codec/LockedPixels.h"
#include "texture/codec/PixelCodec.h"

#include <memory>

namespace valmere {

// Null when `locked.format` is not a DXT format or memory runs out.
std::unique_ptr<PixelCodec> CreateBlockCodec(const LockedPixels& locked);

}  // namespace valmere
