// The interpolated alpha half (DXT4/DXT5) of up to four blocks after the
// endpoint fit: the index search with error diffusion, one pixel per Step in
// row-major order, meant to be interleaved with the colour half's steps.
#pragma once

#include "texture/dxt/BlockDiffusion.h"
#include "texture/dxt/BlockLanes.h"

#include <cstdint>

namespace valmere {

class AlphaIndexSearch {
public:
    // Fits the endpoints to the pixels' byte codes from QuantizeBlocks.
    AlphaIndexSearch(const BlockLanes& pixels, const BlockLanes& codes);

    void Step(int i) {
        const Float4 zero = {};
        // The pixel's own alpha, not its byte code.
        const Float4 v = pixels_.channel[kAlpha][i] + diffusion_.At(i);
        // With equal endpoints toPosition is +inf: values above the endpoint
        // go past the last position, values below it before the first, and
        // the endpoint itself gives NaN, which counts as 0 below.
        const Float4 t = (v - entry0_) * toPosition_;
        // The linear position is truncate(x).
        const Float4 x = Min4(Max4(t, zero), last_) + 0.5f;
        // Below entry 0 a six-step block may pick the fixed 0 (index 6) and
        // past entry 1 the fixed 1 (index 7).
        const Int4 fixedZero = six_ & ~(t > 0.0f) & (nearZero_ >= v);
        const Int4 fixedOne = six_ & (t >= last_) & (nearOne_ <= v);
        Float4 entry = PickByPosition(x, positionEntry_, 8);
        entry = fixedZero ? zero : (fixedOne ? zero + 1.0f : entry);
        diffusion_.Spread(i, v - entry);

        // Linear position p is entry 0 for p = 0, entry 1 at the last
        // position and entry p + 1 between.
        const Int4 position = TruncateInRange(x);
        Int4 index = position == 0 ? Int4{} : (position == lastPosition_ ? Int4{} + 1 : position + 1);
        index = fixedZero ? Int4{} + 6 : (fixedOne ? Int4{} + 7 : index);
        bits_[i / 8] |= UInt4(index) << (3 * (i % 8));
    }

    // The 8-byte alpha halves of the first `count` lanes, `stride` bytes
    // apart, once all 16 steps are done.
    void Store(std::uint8_t* blocks, int stride, int count) const;

private:
    const BlockLanes& pixels_;
    Int4 six_;
    Int4 byte0_;
    Int4 byte1_;
    Int4 indicesKept_;  // false where all indices are 0 (opaque or flat blocks)
    Int4 lastPosition_;
    Float4 last_;
    Float4 entry0_;
    Float4 toPosition_;  // +inf where the endpoints are equal
    Float4 nearZero_;
    Float4 nearOne_;
    Float4 positionEntry_[8];  // the entry of each linear position
    BlockDiffusion<Float4> diffusion_;
    UInt4 bits_[2] = {};  // pixels 0-7 and 8-15, 24 bits each
};

}  // namespace valmere
