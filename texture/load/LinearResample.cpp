// Strategies 7 and 8 (D3DX_FILTER_LINEAR): two taps per axis (LinearTaps),
// wrapping unless the axis's mirror flag is set. Per channel, in single
// precision:
//   planar:  wy0 (wx0 S[y0][x0] + wx1 S[y0][x1]) + wy1 (wx0 S[y1][x0] + wx1 S[y1][x1])
//   volumes: wz0 * (the planar sum in slice z0) + wz1 * (... in slice z1)
// The source rows in use stay decoded; a row needed again by the next
// destination row is reused, not decoded again.
#include "texture/load/BlitJob.h"
#include "texture/load/ResampleWeights.h"

namespace valmere {
namespace {

// Up to four decoded source rows, found by (y, z).
class RowCache {
public:
    bool Allocate(UINT width) {
        for (Slot& slot : slots_)
            if (!(slot.row = TryAllocateRow(width))) return false;
        return true;
    }

    // Decodes the rows of `keys` that are not held yet, into slots that no
    // key of this set needs; `rows` receives them in the order of `keys`.
    bool Fetch(PixelCodec& codec, const UINT (*keys)[2], int count, const D3DXCOLOR* rows[]) {
        bool wanted[4] = {};
        for (int k = 0; k < count; ++k)
            for (int s = 0; s < 4; ++s)
                if (slots_[s].Holds(keys[k])) wanted[s] = true;
        for (int k = 0; k < count; ++k) {
            int found = -1;
            for (int s = 0; s < 4 && found < 0; ++s)
                if (slots_[s].Holds(keys[k])) found = s;
            if (found < 0) {
                for (int s = 0; s < 4 && found < 0; ++s)
                    if (!wanted[s]) found = s;
                Slot& slot = slots_[found];
                slot.valid = false;
                if (FAILED(codec.DecodeRow(keys[k][0], keys[k][1], slot.row.get()))) return false;
                slot.y = keys[k][0];
                slot.z = keys[k][1];
                slot.valid = true;
                wanted[found] = true;
            }
            rows[k] = slots_[found].row.get();
        }
        return true;
    }

private:
    struct Slot {
        ColorRow row;
        UINT y = 0, z = 0;
        bool valid = false;
        bool Holds(const UINT key[2]) const { return valid && y == key[0] && z == key[1]; }
    };
    Slot slots_[4];
};

D3DXCOLOR Planar(const D3DXCOLOR* top, const D3DXCOLOR* bottom, const LinearTap& x, const LinearTap& y) {
    return y.weight0 * (x.weight0 * top[x.index0] + x.weight1 * top[x.index1]) +
           y.weight1 * (x.weight0 * bottom[x.index0] + x.weight1 * bottom[x.index1]);
}

}  // namespace

bool LinearResample(const BlitJob& job) {
    if (job.Type() != D3DX_FILTER_LINEAR) return false;
    PixelCodec& from = job.decoder;
    PixelCodec& to = job.encoder;
    if (from.Width() == 0 || from.Height() == 0 || from.Depth() == 0) return false;
    const bool volume = !job.Planar();
    const auto tapsX = LinearTaps(from.Width(), to.Width(), !(job.filter & D3DX_FILTER_MIRROR_U));
    const auto tapsY = LinearTaps(from.Height(), to.Height(), !(job.filter & D3DX_FILTER_MIRROR_V));
    const auto tapsZ = LinearTaps(from.Depth(), to.Depth(), !(job.filter & D3DX_FILTER_MIRROR_W));
    RowCache cache;
    const ColorRow out = TryAllocateRow(to.Width());
    if (!tapsX || !tapsY || !tapsZ || !out || !cache.Allocate(from.Width())) return false;

    for (UINT z = 0; z < to.Depth(); ++z) {
        const LinearTap& tz = tapsZ[z];
        for (UINT y = 0; y < to.Height(); ++y) {
            const LinearTap& ty = tapsY[y];
            const UINT z0 = volume ? tz.index0 : 0;
            const UINT keys[4][2] = {{ty.index0, z0}, {ty.index1, z0}, {ty.index0, tz.index1}, {ty.index1, tz.index1}};
            const D3DXCOLOR* rows[4] = {};
            if (!cache.Fetch(from, keys, volume ? 4 : 2, rows)) return false;
            for (UINT x = 0; x < to.Width(); ++x) {
                const LinearTap& tx = tapsX[x];
                out[x] = volume ? tz.weight0 * Planar(rows[0], rows[1], tx, ty) +
                                      tz.weight1 * Planar(rows[2], rows[3], tx, ty)
                                : Planar(rows[0], rows[1], tx, ty);
            }
            if (FAILED(to.EncodeRow(y, z, out.get()))) return false;
        }
    }
    return true;
}

}  // namespace valmere
