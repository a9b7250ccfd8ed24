// The colour half of up to four blocks after the endpoint fit: the index
// search with error diffusion, one pixel per Step in row-major order. A
// format with a second diffusion chain (interpolated alpha) interleaves its
// steps with these, so that one chain runs while the other waits.
#pragma once

#include "texture/dxt/BlockDiffusion.h"
#include "texture/dxt/BlockLanes.h"

#include <cstdint>

namespace valmere {

// With `kAllowTransparency` (DXT1), pixels with alpha below 0.5 select the
// three-colour mode and index 3.
template <bool kAllowTransparency>
class ColorIndexSearch {
public:
    // Fits the endpoints to the pixels' codes from QuantizeBlocks.
    ColorIndexSearch(const BlockLanes& pixels, const BlockLanes& codes);

    void Step(int i) {
        const Float4 zero = {};
        const RgbLanes w = {pixels_.channel[kRed][i], pixels_.channel[kGreen][i], pixels_.channel[kBlue][i]};
        // Only the projection t = (w - entry0) . dir decides an index, and it
        // is linear in w, so the diffused error is carried as its projection.
        const Float4 t = Dot(w * weights_ - entry0_, dir_) + diffusion_.At(i);
        // The position is truncate(x): 0 at or below 0 (and for NaN), the
        // last position at or past it, else rounded.
        const Float4 x = Min4(Max4(t, zero), last_) + 0.5f;
        const Float4 residual = t - PickByPosition(x, positionValue_, 4);
        const Int4 position = TruncateInRange(x);
        Int4 index = position == 1 ? Int4{} + 2 : (position == 2 ? positionIndex2_ : (position == 3 ? Int4{} + 1 : Int4{}));
        if constexpr (kAllowTransparency) {
            // A transparent pixel of a three-colour block takes index 3 and
            // passes no error on: the error it received ends here.
            const Int4 skip = three_ & transparent_[i];
            index = skip ? Int4{} + 3 : index;
            diffusion_.Spread(i, skip ? zero : residual);
        } else {
            diffusion_.Spread(i, residual);
        }
        indices_ |= UInt4(index) << (2 * i);
    }

    // The 8-byte colour blocks of the first `count` lanes, `stride` bytes
    // apart, once all 16 steps are done.
    void Store(std::uint8_t* blocks, int stride, int count) const;

private:
    const BlockLanes& pixels_;
    RgbLanes weights_;
    Int4 transparent_[16];
    Int4 allTransparent_;
    Int4 three_;
    Float4 last_;
    Int4 flatCode_;  // the code of a flat four-colour block, else -1
    UInt4 colour0_;
    UInt4 colour1_;
    RgbLanes entry0_;
    RgbLanes dir_;
    // Projection of the entry at each linear position: [0, 2, 3, 1] (four
    // colours) or [0, 2, 1] (three colours).
    Float4 positionValue_[4];
    Int4 positionIndex2_;
    BlockDiffusion<Float4> diffusion_;
    UInt4 indices_ = {};
};

}  // namespace valmere
