// Strategy 4 (D3DX_FILTER_POINT): nearest sample by 16.16 fixed-point
// stepping. Destination pixel x takes source pixel floor(x * step / 65536),
// step = source size * 65536 / destination size (truncated), the products
// accumulated by repeated addition: the pixel's left edge is mapped, so the
// last source pixel is not reached when shrinking by a non-integer factor.
// Steps and positions are 64-bit, so any 32-bit size steps exactly.
#include <cstdint>

#include "texture/load/BlitJob.h"

namespace valmere {
namespace {

std::uint64_t Step(UINT source, UINT destination) {
    return destination == 0 ? 0 : (std::uint64_t{source} << 16) / destination;
}

}  // namespace

bool PointResample(const BlitJob& job) {
    if (job.Type() != D3DX_FILTER_POINT) return false;
    PixelCodec& from = job.decoder;
    PixelCodec& to = job.encoder;
    // An empty source region has no pixel to take: declined, like the
    // filtering strategies, rather than encoding a row nothing decoded.
    if (from.Width() == 0 || from.Height() == 0 || from.Depth() == 0) return false;
    const ColorRow source = TryAllocateRow(from.Width());
    const ColorRow row = TryAllocateRow(to.Width());
    if (!source || !row) return false;
    const std::uint64_t stepX = Step(from.Width(), to.Width());
    const std::uint64_t stepY = Step(from.Height(), to.Height());
    const std::uint64_t stepZ = Step(from.Depth(), to.Depth());

    std::uint64_t positionZ = 0;
    for (UINT z = 0; z < to.Depth(); ++z, positionZ += stepZ) {
        const auto sz = static_cast<UINT>(positionZ >> 16);
        std::uint64_t positionY = 0;
        UINT decodedY = 0;
        for (UINT y = 0; y < to.Height(); ++y, positionY += stepY) {
            const auto sy = static_cast<UINT>(positionY >> 16);
            if (y == 0 || sy != decodedY) {
                if (FAILED(from.DecodeRow(sy, sz, source.get()))) return false;
                decodedY = sy;
            }
            std::uint64_t positionX = 0;
            for (UINT x = 0; x < to.Width(); ++x, positionX += stepX) row[x] = source[positionX >> 16];
            if (FAILED(to.EncodeRow(y, z, row.get()))) return false;
        }
    }
    return true;
}

}  // namespace valmere
