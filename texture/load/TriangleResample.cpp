// Strategies 9 and 10: the tent filter (TriangleWeights) on every axis,
// wrapping unless the axis's mirror flag is set; also the last resort for a
// box request that is not an exact halving. One streaming pass over the
// source: each source row is decoded once and added, weighted by
// wx * (wy * wz), into the destination rows it feeds; accumulation buffers
// exist only while a destination row is in flight. A destination row is
// encoded as soon as its last contributor has been added, and its buffer
// goes back to the pool. Planar images are the case of one slice, whose
// weight is exactly 1.
#include <algorithm>

#include "texture/load/BlitJob.h"
#include "texture/load/ResampleWeights.h"

namespace valmere {
namespace {

// Accumulation rows of the destination rows in flight, by index y + z * height.
class RowsInFlight {
public:
    bool Allocate(std::size_t rowCount, UINT width) {
        width_ = width;
        active_ = TryAllocate<D3DXCOLOR*>(rowCount);
        owned_ = TryAllocate<ColorRow>(rowCount);
        free_ = TryAllocate<D3DXCOLOR*>(rowCount);
        if (!active_ || !owned_ || !free_) return false;
        std::fill_n(active_.get(), rowCount, nullptr);
        return true;
    }

    // The accumulation row of destination row r, zeroed when it starts; null
    // when memory runs out.
    D3DXCOLOR* Row(std::size_t r) {
        if (active_[r]) return active_[r];
        D3DXCOLOR* row = nullptr;
        if (freeCount_ > 0) {
            row = free_[--freeCount_];
        } else {
            if (!(owned_[made_] = TryAllocateRow(width_))) return nullptr;
            row = owned_[made_++].get();
        }
        std::fill_n(row, width_, D3DXCOLOR(0.0f, 0.0f, 0.0f, 0.0f));
        return active_[r] = row;
    }

    // Destination row r is complete: its buffer may serve another row.
    void Finish(std::size_t r) {
        free_[freeCount_++] = active_[r];
        active_[r] = nullptr;
    }

private:
    UINT width_ = 0;
    std::unique_ptr<D3DXCOLOR*[]> active_;
    std::unique_ptr<ColorRow[]> owned_;
    std::unique_ptr<D3DXCOLOR*[]> free_;
    std::size_t made_ = 0;
    std::size_t freeCount_ = 0;
};

}  // namespace

bool TriangleResample(const BlitJob& job) {
    PixelCodec& from = job.decoder;
    PixelCodec& to = job.encoder;
    if (from.Width() == 0 || from.Height() == 0 || from.Depth() == 0) return false;
    TriangleWeights wx, wy, wz;
    if (!wx.Build(from.Width(), to.Width(), !(job.filter & D3DX_FILTER_MIRROR_U)) ||
        !wy.Build(from.Height(), to.Height(), !(job.filter & D3DX_FILTER_MIRROR_V)) ||
        !wz.Build(from.Depth(), to.Depth(), !(job.filter & D3DX_FILTER_MIRROR_W)))
        return false;
    const UINT height = to.Height();
    const std::size_t rowCount = std::size_t{height} * to.Depth();
    auto pending = TryAllocate<UINT>(rowCount);
    const ColorRow source = TryAllocateRow(from.Width());
    RowsInFlight rows;
    if (!pending || !source || !rows.Allocate(rowCount, to.Width())) return false;
    for (UINT z = 0; z < to.Depth(); ++z)
        for (UINT y = 0; y < height; ++y) pending[y + std::size_t{z} * height] = wy.Contributors(y) * wz.Contributors(z);

    for (UINT sz = 0; sz < from.Depth(); ++sz)
        for (UINT sy = 0; sy < from.Height(); ++sy) {
            if (FAILED(from.DecodeRow(sy, sz, source.get()))) return false;
            for (const WeightedIndex* z = wz.Begin(sz); z != wz.End(sz); ++z)
                for (const WeightedIndex* y = wy.Begin(sy); y != wy.End(sy); ++y) {
                    const std::size_t r = y->index + std::size_t{z->index} * height;
                    D3DXCOLOR* row = rows.Row(r);
                    if (!row) return false;
                    const float weightYZ = y->weight * z->weight;
                    for (UINT sx = 0; sx < from.Width(); ++sx) {
                        const D3DXCOLOR& c = source[sx];
                        for (const WeightedIndex* x = wx.Begin(sx); x != wx.End(sx); ++x)
                            row[x->index] += x->weight * weightYZ * c;
                    }
                    if (--pending[r] == 0) {
                        if (FAILED(to.EncodeRow(y->index, z->index, row))) return false;
                        rows.Finish(r);
                    }
                }
        }
    // Rows that no source row reached (only possible when every weight into
    // them was dropped) are transparent black.
    for (UINT z = 0; z < to.Depth(); ++z)
        for (UINT y = 0; y < height; ++y) {
            const std::size_t r = y + std::size_t{z} * height;
            if (wy.Contributors(y) * wz.Contributors(z) != 0) continue;
            D3DXCOLOR* row = rows.Row(r);
            if (!row || FAILED(to.EncodeRow(y, z, row))) return false;
            rows.Finish(r);
        }
    return true;
}

}  // namespace valmere
