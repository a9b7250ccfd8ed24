// Rows and slices passed in are box-relative; the box stays in surface
// coordinates. The block holding surface pixel (X, Y) of slice Z starts at
//   pixels + (Y / 4) * rowPitch + (X / 4) * bytesPerBlock + Z * slicePitch.
// A block row's buffer holds blocksAcross blocks of 16 pixels each, pixel
// (x, line) of block b at b * 16 + line * 4 + x.
//
// Levels 1 or 2 pixels wide or high fill their single block by repetition
// (masks from the level's size), so one or two rows complete it.
#include "texture/codec/BlockCodec.h"

#include "texture/dxt/DxtBlock.h"
#include "texture/format/Quantize.h"

#include <algorithm>
#include <new>

namespace valmere {
namespace {

constexpr UINT kAllLines = 15;
constexpr UINT kNoRow = 0xFFFFFFFFu;

UINT SmallMask(UINT size) { return size == 1 ? 0 : (size == 2 ? 1 : 3); }

class BlockCodec final : public PixelCodec {
public:
    BlockCodec(const LockedPixels& locked, const BlockFormatInfo& info)
        : PixelCodec(locked, 0, NumericKind::Unsigned),
          info_(info),
          alignedLeft_(box_.Left & ~3u),
          alignedTop_(box_.Top & ~3u),
          alignedRight_((box_.Right + 3) & ~3u),
          blocksAcross_((alignedRight_ - alignedLeft_) / 4),
          blockRows_((((box_.Bottom + 3) & ~3u) - alignedTop_) / 4),
          extentRight_(locked.extent.Right),
          columnMask_(SmallMask(locked.extent.Right)),
          rowMask_(SmallMask(locked.extent.Bottom)),
          small_(columnMask_ != 3 || rowMask_ != 3) {}

    // Block rows the box never fills to their last line were loaded from the
    // surface first, so they are complete and are written here.
    ~BlockCodec() override {
        if (!records_) return;
        for (UINT i = 0; i < RecordCount(); ++i) {
            Record& r = records_[i];
            if (r.buffer && r.mask != 0 && r.mask != kAllLines && r.wholeRowLoaded) WriteBlockRow(i);
        }
    }

    HRESULT DecodeRow(UINT y, UINT z, D3DXCOLOR* row) override {
        if (!InBox(y, z)) return D3DERR_INVALIDCALL;
        if (!cache_) {
            cache_.reset(new (std::nothrow) D3DXCOLOR[RowPixels()]);
            if (!cache_) return E_OUTOFMEMORY;
        }
        const UINT surfaceY = box_.Top + y;
        const UINT slice = box_.Front + z;
        const UINT blockTop = surfaceY & ~3u;
        if (cacheRow_ != blockTop || cacheSlice_ != slice) {
            LoadBlockRow(cache_.get(), blockTop, slice, 0, blocksAcross_);
            cacheRow_ = blockTop;
            cacheSlice_ = slice;
        }
        const UINT line = (surfaceY - alignedTop_) & 3;
        for (UINT i = 0; i < width_; ++i) {
            D3DXCOLOR c = cache_[PixelIndex(box_.Left + i, line)];
            if (keyed_ && Quantized(c) == key_) c = D3DXCOLOR(0.0f, 0.0f, 0.0f, 0.0f);
            row[i] = c;
        }
        return S_OK;
    }

    HRESULT EncodeRow(UINT y, UINT z, const D3DXCOLOR* row) override {
        if (!InBox(y, z)) return D3DERR_INVALIDCALL;
        if (!records_) {
            records_.reset(new (std::nothrow) Record[RecordCount()]());
            if (!records_) return E_OUTOFMEMORY;
        }
        const UINT surfaceY = box_.Top + y;
        const UINT blockTop = surfaceY & ~3u;
        const UINT index = z * blockRows_ + (surfaceY - alignedTop_) / 4;
        Record& record = records_[index];
        if (!record.buffer) {
            record.buffer.reset(new (std::nothrow) D3DXCOLOR[RowPixels()]());
            if (!record.buffer) return E_OUTOFMEMORY;
        }
        if (record.mask == 0) Preload(record, blockTop, box_.Front + z);

        const D3DXCOLOR* source = InOwnKind(row);
        const UINT line = (surfaceY - alignedTop_) & 3;
        for (UINT i = 0; i < width_; ++i) record.buffer[PixelIndex(box_.Left + i, line)] = source[i];
        record.mask |= 1u << line;
        if (small_) {
            for (UINT j = 0; j < 4; ++j) {
                if ((j & rowMask_) == line) record.mask |= 1u << j;
            }
        }
        if (record.mask == kAllLines) {
            WriteBlockRow(index);
            PassBufferOn(index);
        }
        return S_OK;
    }

    // r and b to 5 bits, g to 6 and a to the format's alpha precision.
    void SnapColorKey() override { key_ = Quantized(key_); }

private:
    struct Record {
        UINT mask = 0;  // lines of the block row received, bit per line
        bool wholeRowLoaded = false;
        std::unique_ptr<D3DXCOLOR[]> buffer;
    };

    UINT RowPixels() const { return blocksAcross_ * kBlockPixels; }
    UINT RecordCount() const { return depth_ * blockRows_; }
    UINT PixelIndex(UINT x, UINT line) const {
        const UINT offset = x - alignedLeft_;
        return (offset / 4) * kBlockPixels + line * 4 + (offset & 3);
    }

    D3DXCOLOR Quantized(const D3DXCOLOR& c) const {
        auto snap = [](float v, float scale) {
            return static_cast<float>(QuantizeTruncate(v, scale, 0.5f)) / scale;
        };
        return D3DXCOLOR(snap(c.r, 31.0f), snap(c.g, 63.0f), snap(c.b, 31.0f), snap(c.a, info_.alphaScale));
    }

    std::byte* BlockAddress(UINT blockTop, UINT slice, UINT block) const {
        return pixels_ + static_cast<std::ptrdiff_t>(blockTop / 4) * rowPitch_ +
               static_cast<std::ptrdiff_t>(alignedLeft_ / 4 + block) * info_.bytesPerBlock +
               static_cast<std::ptrdiff_t>(slice) * slicePitch_;
    }

    void LoadBlockRow(D3DXCOLOR* pixels, UINT blockTop, UINT slice, UINT firstBlock, UINT endBlock) const {
        for (UINT b = firstBlock; b < endBlock; ++b) {
            info_.unpack(pixels + b * kBlockPixels, BlockAddress(blockTop, slice, b));
        }
    }

    // Loads the blocks whose pixels outside the box must survive the write.
    void Preload(Record& record, UINT blockTop, UINT slice) {
        D3DXCOLOR* buffer = record.buffer.get();
        const bool fullHeight = box_.Top <= blockTop && box_.Bottom >= blockTop + 4;
        if (!fullHeight) {
            LoadBlockRow(buffer, blockTop, slice, 0, blocksAcross_);
            record.wholeRowLoaded = true;
            return;
        }
        if (alignedLeft_ < box_.Left) LoadBlockRow(buffer, blockTop, slice, 0, 1);
        // Columns right of the box that the level really has.
        if (box_.Right < alignedRight_ && box_.Right < extentRight_) {
            LoadBlockRow(buffer, blockTop, slice, blocksAcross_ - 1, blocksAcross_);
        }
    }

    void WriteBlockRow(UINT index) {
        const UINT slice = box_.Front + index / blockRows_;
        const UINT blockTop = alignedTop_ + (index % blockRows_) * 4;
        D3DXCOLOR* buffer = records_[index].buffer.get();
        if (small_) {
            for (UINT b = 0; b < blocksAcross_; ++b) ReplicateSmallBlock(buffer + b * kBlockPixels, columnMask_, rowMask_);
        }
        // The row's blocks lie one after the other in the surface: one call
        // encodes them four at a time.
        info_.pack(BlockAddress(blockTop, slice, 0), buffer, blocksAcross_);
    }

    // Reuses a finished buffer for the next block row when that one has none.
    void PassBufferOn(UINT index) {
        Record& done = records_[index];
        if (index + 1 < RecordCount()) {
            Record& next = records_[index + 1];
            if (!next.buffer && next.mask == 0) {
                next.buffer = std::move(done.buffer);
                return;
            }
        }
        done.buffer.reset();
    }

    const BlockFormatInfo& info_;
    UINT alignedLeft_;
    UINT alignedTop_;
    UINT alignedRight_;
    UINT blocksAcross_;
    UINT blockRows_;
    UINT extentRight_;
    UINT columnMask_;
    UINT rowMask_;
    bool small_;
    std::unique_ptr<D3DXCOLOR[]> cache_;
    UINT cacheRow_ = kNoRow;
    UINT cacheSlice_ = kNoRow;
    std::unique_ptr<Record[]> records_;
};

}  // namespace

std::unique_ptr<PixelCodec> CreateBlockCodec(const LockedPixels& locked) {
    const BlockFormatInfo* info = FindBlockFormat(locked.format);
    if (info == nullptr) return nullptr;
    return std::unique_ptr<PixelCodec>(new (std::nothrow) BlockCodec(locked, *info));
}

}  // namespace valmere
