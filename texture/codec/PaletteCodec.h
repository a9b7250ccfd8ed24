// Codecs of D3DFMT_P8 and D3DFMT_A8P8.
#pragma once

#include "texture/codec/LockedPixels.h"
#include "texture/codec/PixelCodec.h"

#include <memory>

namespace valmere {

// Null when `locked.format` is not a palette format or memory runs out.
std::unique_ptr<PixelCodec> CreatePaletteCodec(const LockedPixels& locked);

}  // namespace valmere
