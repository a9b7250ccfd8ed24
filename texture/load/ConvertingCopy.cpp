// Strategy 2: same size, different pixels: every source row is decoded to
// D3DXCOLOR and encoded into the destination row. The filter does not matter.
#include "texture/load/BlitJob.h"
#include "texture/load/ByteChannelCopy.h"

namespace valmere {

bool ConvertingCopy(const BlitJob& job) {
    if (!job.SameSize()) return false;
    if (CopyByteChannels(job)) return true;
    const ColorRow row = TryAllocateRow(job.decoder.Width());
    if (!row) return false;
    for (UINT z = 0; z < job.decoder.Depth(); ++z)
        for (UINT y = 0; y < job.decoder.Height(); ++y)
            if (FAILED(job.decoder.DecodeRow(y, z, row.get())) || FAILED(job.encoder.EncodeRow(y, z, row.get())))
                return false;
    return true;
}

}  // namespace valmere
