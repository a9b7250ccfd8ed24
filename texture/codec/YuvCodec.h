// Codec of the packed 4:2:2 formats UYVY and YUY2.
#pragma once

#include "texture/codec/LockedPixels.h"
#include "texture/codec/PixelCodec.h"

#include <memory>

namespace valmere {

// Null when `locked.format` is not UYVY or YUY2 or the codec cannot be made.
// A codec whose row cache could not be allocated is returned; its rows then
// fail with E_OUTOFMEMORY.
std::unique_ptr<PixelCodec> CreateYuvCodec(const LockedPixels& locked);

}  // namespace valmere
