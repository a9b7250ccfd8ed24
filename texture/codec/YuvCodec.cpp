// Pixel pairs share chroma: two 16-bit words, word 0 holding Y0 and U (Cb),
// word 1 Y1 and V (Cr). UYVY keeps luma in bits 8-15 and chroma in 0-7, YUY2
// the other way round. Rows are cached as whole pairs so that a box starting
// or ending inside a pair keeps the neighbour it shares the pair with; the
// cached row is written back when another row is fetched and on destruction.
// BT.601 video range: Y 16..235, chroma 16..240 around 128.
#include "texture/codec/YuvCodec.h"

#include "texture/format/Quantize.h"

#include <cmath>
#include <new>

namespace valmere {
namespace {

constexpr UINT kNoRow = 0xFFFFFFFFu;

std::uint8_t ClampByte(long v) { return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// Rounds in the current rounding mode (to nearest even, as the process runs).
long RoundCurrent(float v) { return std::lrint(v); }

class YuvCodec final : public PixelCodec {
public:
    YuvCodec(const LockedPixels& locked, int lumaShift)
        : PixelCodec(locked, 0, NumericKind::Unsigned),
          lumaShift_(lumaShift),
          chromaShift_(8 - lumaShift),
          spanStart_(box_.Left & ~1u),
          spanEnd_((box_.Right + 1) & ~1u),
          cache_(new (std::nothrow) D3DXCOLOR[spanEnd_ - spanStart_]) {}

    ~YuvCodec() override {
        if (dirty_) WriteBack();
    }

    HRESULT DecodeRow(UINT y, UINT z, D3DXCOLOR* row) override {
        if (!cache_) return E_OUTOFMEMORY;
        if (!InBox(y, z)) return D3DERR_INVALIDCALL;
        Fetch(box_.Top + y, box_.Front + z, true);
        const D3DXCOLOR* first = cache_.get() + (box_.Left - spanStart_);
        for (UINT i = 0; i < width_; ++i) row[i] = first[i];
        ClearKeyed(row);
        return S_OK;
    }

    HRESULT EncodeRow(UINT y, UINT z, const D3DXCOLOR* row) override {
        if (!cache_) return E_OUTOFMEMORY;
        if (!InBox(y, z)) return D3DERR_INVALIDCALL;
        const D3DXCOLOR* source = InOwnKind(row);
        const bool partial = box_.Left != spanStart_ || box_.Right != spanEnd_;
        Fetch(box_.Top + y, box_.Front + z, partial);
        D3DXCOLOR* first = cache_.get() + (box_.Left - spanStart_);
        for (UINT i = 0; i < width_; ++i) first[i] = source[i];
        dirty_ = true;
        return S_OK;
    }

    // The key is compared as given (bytes / 255).
    void SnapColorKey() override {}

private:
    // Word `index` of the cached span of the current row (little-endian).
    std::byte* WordAddress(UINT index) const {
        return pixels_ + static_cast<std::ptrdiff_t>(row_) * rowPitch_ + static_cast<std::ptrdiff_t>(slice_) * slicePitch_ +
               static_cast<std::ptrdiff_t>(spanStart_ + index) * 2;
    }
    UINT LoadWord(UINT index) const {
        const std::byte* p = WordAddress(index);
        return static_cast<UINT>(p[0]) | (static_cast<UINT>(p[1]) << 8);
    }
    void StoreWord(UINT index, UINT word) const {
        std::byte* p = WordAddress(index);
        p[0] = static_cast<std::byte>(word & 0xFF);
        p[1] = static_cast<std::byte>(word >> 8);
    }

    void Fetch(UINT row, UINT slice, bool load) {
        if (row == row_ && slice == slice_) return;
        if (dirty_) WriteBack();
        row_ = row;
        slice_ = slice;
        if (load) Load();
    }

    void Load() {
        for (UINT p = 0; p < spanEnd_ - spanStart_; p += 2) {
            const UINT words[2] = {LoadWord(p), LoadWord(p + 1)};
            const float u = static_cast<float>((words[0] >> chromaShift_) & 0xFF) - 128.0f;
            const float v = static_cast<float>((words[1] >> chromaShift_) & 0xFF) - 128.0f;
            for (UINT k = 0; k < 2; ++k) {
                const float y = static_cast<float>((words[k] >> lumaShift_) & 0xFF) - 16.0f;
                const float luma = 0.00456621f * y;
                cache_[p + k] = D3DXCOLOR(ClampChannel(luma + 0.00625893f * v, 0.0f, 1.0f),
                                          ClampChannel(luma - 0.00153632f * u - 0.00318811f * v, 0.0f, 1.0f),
                                          ClampChannel(luma + 0.00791071f * u, 0.0f, 1.0f), 1.0f);
            }
        }
    }

    UINT Word(long luma, long chroma) const {
        return (static_cast<UINT>(ClampByte(luma)) << lumaShift_) | (static_cast<UINT>(ClampByte(chroma)) << chromaShift_);
    }

    // Chroma comes from the first pixel of each pair.
    void WriteBack() {
        for (UINT p = 0; p < spanEnd_ - spanStart_; p += 2) {
            const D3DXCOLOR& c0 = cache_[p];
            const D3DXCOLOR& c1 = cache_[p + 1];
            const float r0 = ClampChannel(c0.r, 0.0f, 1.0f), g0 = ClampChannel(c0.g, 0.0f, 1.0f),
                        b0 = ClampChannel(c0.b, 0.0f, 1.0f);
            const float r1 = ClampChannel(c1.r, 0.0f, 1.0f), g1 = ClampChannel(c1.g, 0.0f, 1.0f),
                        b1 = ClampChannel(c1.b, 0.0f, 1.0f);
            const long y0 = 16 + RoundCurrent(65.481f * r0 + 128.553f * g0 + 24.966f * b0 + 0.5f);
            const long y1 = 16 + RoundCurrent(65.481f * r1 + 128.553f * g1 + 24.966f * b1 + 0.5f);
            const long u = 128 + RoundCurrent(112.0f * b0 - 74.203f * g0 - 37.797f * r0 + 0.5f);
            const long v = 128 + RoundCurrent(112.0f * r0 - (93.786f * g0 + 18.214f * b0) + 0.5f);
            StoreWord(p, Word(y0, u));
            StoreWord(p + 1, Word(y1, v));
        }
        dirty_ = false;
    }

    int lumaShift_;
    int chromaShift_;
    UINT spanStart_;
    UINT spanEnd_;
    std::unique_ptr<D3DXCOLOR[]> cache_;
    UINT row_ = kNoRow;
    UINT slice_ = kNoRow;
    bool dirty_ = false;
};

}  // namespace

std::unique_ptr<PixelCodec> CreateYuvCodec(const LockedPixels& locked) {
    if (locked.format != D3DFMT_UYVY && locked.format != D3DFMT_YUY2) return nullptr;
    const int lumaShift = locked.format == D3DFMT_UYVY ? 8 : 0;
    return std::unique_ptr<PixelCodec>(new (std::nothrow) YuvCodec(locked, lumaShift));
}

}  // namespace valmere
