// Strategy 3 (D3DX_FILTER_NONE): the part both regions have is copied
// through the codecs; destination pixels, rows and slices beyond the
// source's are transparent black.
#include <algorithm>

#include "texture/load/BlitJob.h"

namespace valmere {

bool UnfilteredCrop(const BlitJob& job) {
    if (job.Type() != D3DX_FILTER_NONE) return false;
    const PixelCodec& from = job.decoder;
    const UINT width = std::max(from.Width(), job.encoder.Width());
    // The decoded row only ever fills its first from.Width() pixels, so the
    // rest stay zero from here on.
    const ColorRow row = TryAllocateRow(width);
    const ColorRow zero = TryAllocateRow(width);
    if (!row || !zero) return false;
    std::fill_n(row.get(), width, D3DXCOLOR(0.0f, 0.0f, 0.0f, 0.0f));
    std::fill_n(zero.get(), width, D3DXCOLOR(0.0f, 0.0f, 0.0f, 0.0f));
    for (UINT z = 0; z < job.encoder.Depth(); ++z)
        for (UINT y = 0; y < job.encoder.Height(); ++y) {
            const bool inside = z < from.Depth() && y < from.Height();
            if (inside && FAILED(job.decoder.DecodeRow(y, z, row.get()))) return false;
            if (FAILED(job.encoder.EncodeRow(y, z, inside ? row.get() : zero.get()))) return false;
        }
    return true;
}

}  // namespace valmere
