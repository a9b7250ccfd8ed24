// Error diffusion inside one 4x4 block, in row-major order (Floyd-Steinberg
// weights). Nothing leaves the block:
//
//            [ x ]  7/16
//     3/16   5/16   1/16
#pragma once

namespace valmere {

template <class T>
class BlockDiffusion {
public:
    BlockDiffusion() {
        for (T& e : error_) e = T{};
    }

    // Error carried into pixel i so far.
    T At(int i) const { return error_[i]; }

    // Passes pixel i's residual on to its right and lower neighbours.
    void Spread(int i, T residual) {
        const int x = i & 3;
        const bool lastRow = i >= 12;
        if (x < 3) error_[i + 1] = error_[i + 1] + residual * (7.0f / 16.0f);
        if (lastRow) return;
        if (x > 0) error_[i + 3] = error_[i + 3] + residual * (3.0f / 16.0f);
        error_[i + 4] = error_[i + 4] + residual * (5.0f / 16.0f);
        if (x < 3) error_[i + 5] = error_[i + 5] + residual * (1.0f / 16.0f);
    }

private:
    T error_[16];
};

}  // namespace valmere
