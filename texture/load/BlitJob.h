// What every blit strategy works with, and the strategies themselves (one
// file each). A strategy returns true when it did the whole blit, false when
// it declines; rows a declining strategy wrote are overwritten by the next.
//
// Sizes are region sizes. Rows and slices passed to the codecs count from the
// region's top and front.
#pragma once

#include "texture/D3DXTexture.h"
#include "texture/codec/PixelCodec.h"
#include "texture/load/PixelGroups.h"
#include "texture/load/TryAllocate.h"

#include <cstddef>

namespace valmere {

struct BlitJob {
    const LockedPixels& destination;
    const LockedPixels& source;
    PixelCodec& encoder;  // destination
    PixelCodec& decoder;  // source
    DWORD filter;

    DWORD Type() const { return filter & 0xFFFF; }
    bool SameSize() const {
        return encoder.Width() == decoder.Width() && encoder.Height() == decoder.Height() &&
               encoder.Depth() == decoder.Depth();
    }
    bool Planar() const { return encoder.Depth() == 1 && decoder.Depth() == 1; }
};

// A row buffer, or null (the strategy declines).
using ColorRow = std::unique_ptr<D3DXCOLOR[]>;
inline ColorRow TryAllocateRow(UINT pixels) { return TryAllocate<D3DXCOLOR>(pixels); }

// First byte of the region's first pixel group of slice 0; the region's left
// and top must be multiples of the group's size.
inline std::byte* RegionStart(const LockedPixels& side, const PixelGroup& group) {
    const D3DBOX& r = side.region;
    return static_cast<std::byte*>(side.pixels) + std::ptrdiff_t{side.slicePitch} * r.Front +
           std::ptrdiff_t{side.rowPitch} * (r.Top / group.height) +
           static_cast<std::ptrdiff_t>(r.Left / group.width) * group.bytes;
}

bool RawCopy(const BlitJob& job);
bool ConvertingCopy(const BlitJob& job);
bool UnfilteredCrop(const BlitJob& job);
bool PointResample(const BlitJob& job);
bool BoxHalving(const BlitJob& job);
bool LinearResample(const BlitJob& job);
bool TriangleResample(const BlitJob& job);

}  // namespace valmere
