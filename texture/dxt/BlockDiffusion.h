// Error diffusion inside one 4x4 block, in row-major order (Floyd-Steinberg
// weights). Nothing leaves the block:
//
//            [ x ]  7/16
//     3/16   5/16   1/16
//
// The share for the right neighbour is held apart from the shares for the
// row below, so the chain from one pixel to the next is a register, not a
// store and reload.
#pragma once

namespace valmere {

template <class T>
class BlockDiffusion {
public:
    BlockDiffusion() {
        for (T& e : below_) e = T{};
    }

    // Error carried into pixel i: from the pixel on its left and the row above.
    T At(int i) const { return below_[i] + carry_; }

    // Passes pixel i's residual on to its right and lower neighbours.
    void Spread(int i, T residual) {
        const int x = i & 3;
        carry_ = x < 3 ? residual * (7.0f / 16.0f) : T{};
        if (i >= 12) return;
        if (x > 0) below_[i + 3] = below_[i + 3] + residual * (3.0f / 16.0f);
        below_[i + 4] = below_[i + 4] + residual * (5.0f / 16.0f);
        if (x < 3) below_[i + 5] = below_[i + 5] + residual * (1.0f / 16.0f);
    }

private:
    T below_[16];
    T carry_ = T{};
};

}  // namespace valmere
