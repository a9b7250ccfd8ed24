// The codec of every plain (non-palette, non-YUV, non-DXT) format.
#pragma once

#include "texture/codec/LockedPixels.h"
#include "texture/codec/PixelCodec.h"

#include <memory>

namespace valmere {

// Null when `locked.format` is not a plain format or memory runs out.
std::unique_ptr<PixelCodec> CreatePlainCodec(const LockedPixels& locked);

}  // namespace valmere
