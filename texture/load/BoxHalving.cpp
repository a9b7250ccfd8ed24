// Strategies 5 and 6 (D3DX_FILTER_BOX): every extent exactly halved (rounded
// down; an extent of 1 stays 1). A source extent above 1 that is odd loses
// its last column, row or slice. Planar images of the formats with an
// integer form are averaged on the raw pixels (BoxRows.h) unless dithering
// or a colour key asks for the codecs; everything else sums the decoded 2x2
// (volumes: 2x2x2) blocks in a fixed order, in single precision:
// ((s00 + s01) + s10) + s11, times 0.25 (0.125 for volumes).
#include <algorithm>

#include "texture/load/BlitJob.h"
#include "texture/load/BoxRows.h"

namespace valmere {
namespace {

bool Halves(UINT source, UINT destination) {
    return destination == source / 2 || (destination == 1 && source == 1);
}

bool IntegerForm(const BlitJob& job) {
    const PixelCodec& from = job.decoder;
    if ((job.filter & D3DX_FILTER_DITHER) || job.source.format != job.destination.format ||
        job.source.colorKey != 0 || from.Width() < 2 || from.Height() < 2 || !job.Planar())
        return false;
    const BoxRowFn halve = SelectBoxRow(job.source.format, from.Width());
    if (!halve) return false;
    const PixelGroup pixel = PixelGroupOf(job.source.format);
    std::byte* to = RegionStart(job.destination, pixel);
    const std::byte* from0 = RegionStart(job.source, pixel);
    for (UINT y = 0; y < job.encoder.Height(); ++y, to += job.destination.rowPitch) {
        const std::byte* top = from0 + std::ptrdiff_t{job.source.rowPitch} * (2 * y);
        halve(to, top, top + job.source.rowPitch, job.encoder.Width());
    }
    return true;
}

bool GeneralForm(const BlitJob& job) {
    PixelCodec& from = job.decoder;
    PixelCodec& to = job.encoder;
    const UINT slices = from.Depth() > 1 ? 2 : 1;
    const UINT rows = from.Height() > 1 ? 2 : 1;
    const float scale = slices == 2 ? 0.125f : 0.25f;
    ColorRow sources[4];
    for (ColorRow& row : sources)
        if (!(row = TryAllocateRow(from.Width()))) return false;
    const ColorRow out = TryAllocateRow(to.Width());
    if (!out) return false;

    const UINT step = from.Width() > 1 ? 1 : 0;  // column 0 twice for a width of 1
    for (UINT z = 0; z < to.Depth(); ++z)
        for (UINT y = 0; y < to.Height(); ++y) {
            for (UINT s = 0; s < slices; ++s)
                for (UINT r = 0; r < rows; ++r)
                    if (FAILED(from.DecodeRow(2 * y + r, z * slices + s, sources[2 * s + r].get()))) return false;
            for (UINT x = 0; x < to.Width(); ++x) {
                const UINT c = 2 * x;
                D3DXCOLOR sum(0.0f, 0.0f, 0.0f, 0.0f);
                bool first = true;
                for (UINT s = 0; s < slices; ++s)
                    for (UINT r = 0; r < 2; ++r) {
                        const D3DXCOLOR* row = sources[2 * s + std::min(r, rows - 1)].get();
                        sum = first ? row[c] + row[c + step] : sum + row[c] + row[c + step];
                        first = false;
                    }
                out[x] = sum * scale;
            }
            if (FAILED(to.EncodeRow(y, z, out.get()))) return false;
        }
    return true;
}

}  // namespace

bool BoxHalving(const BlitJob& job) {
    if (job.Type() != D3DX_FILTER_BOX) return false;
    const PixelCodec& from = job.decoder;
    const PixelCodec& to = job.encoder;
    if (!Halves(from.Width(), to.Width()) || !Halves(from.Height(), to.Height()) ||
        !Halves(from.Depth(), to.Depth()))
        return false;
    return IntegerForm(job) || GeneralForm(job);
}

}  // namespace valmere
