// Strategy 1: the bytes themselves, row by row (rows of 4x4 blocks for DXT,
// pixel pairs for YUY2 and UYVY), when nothing about the pixels changes.
#include <cstring>

#include "texture/load/BlitJob.h"

namespace valmere {
namespace {

bool SamePalette(const PALETTEENTRY* a, const PALETTEENTRY* b) {
    if (a == b) return true;
    return a && b && std::memcmp(a, b, 256 * sizeof(PALETTEENTRY)) == 0;
}

// The region starts on a group and ends on one or at the edge of the memory.
bool Aligned(const LockedPixels& side, const PixelGroup& group) {
    const D3DBOX& r = side.region;
    const D3DBOX& e = side.extent;
    return r.Left % group.width == 0 && r.Top % group.height == 0 &&
           (r.Right % group.width == 0 || r.Right == e.Right) && (r.Bottom % group.height == 0 || r.Bottom == e.Bottom);
}

}  // namespace

bool RawCopy(const BlitJob& job) {
    const LockedPixels& to = job.destination;
    const LockedPixels& from = job.source;
    if (to.format != from.format || from.colorKey != 0 || !job.SameSize()) return false;
    if (IsPalettized(to.format) && !SamePalette(to.palette, from.palette)) return false;
    const PixelGroup group = PixelGroupOf(to.format);
    if (group.bytes == 0 || !Aligned(to, group) || !Aligned(from, group)) return false;

    const UINT width = job.decoder.Width();
    const std::size_t rowBytes = std::size_t{(width + group.width - 1) / group.width} * group.bytes;
    const UINT rows = (job.decoder.Height() + group.height - 1) / group.height;
    std::byte* const toStart = RegionStart(to, group);
    const std::byte* const fromStart = RegionStart(from, group);
    for (UINT z = 0; z < job.decoder.Depth(); ++z)
        for (UINT y = 0; y < rows; ++y)
            std::memmove(toStart + std::ptrdiff_t{to.slicePitch} * z + std::ptrdiff_t{to.rowPitch} * y,
                         fromStart + std::ptrdiff_t{from.slicePitch} * z + std::ptrdiff_t{from.rowPitch} * y,
                         rowBytes);
    return true;
}

}  // namespace valmere
