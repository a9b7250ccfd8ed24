// The reference's picture of the render target: per pixel, the interval of
// each channel that the target may hold and the interval of its 16-bit depth
// code. Fragments are merged in with every outcome that an ambiguous
// decision allows (not drawn, alpha test or depth test failed, written).
#pragma once

#include <string>
#include <vector>

#include "tests/support/reference/Range.h"
#include "tests/support/reference/Snapshot.h"

namespace valmere::reference {

struct PixelState {
    ColorRange color;  // what the target holds, in 8-bit units (see Bound.h)
    Range depth;       // 16-bit depth codes
};

// What one fragment brings to a pixel.
struct Fragment {
    ColorRange color;  // exact colour from the texture stage, 8-bit units
    Range depth;       // depth codes, allowance included
    bool maybeMissed;  // coverage is ambiguous: the pixel may not be drawn at all
};

// How the device's picture compares with the reference's.
struct Comparison {
    long outside = 0;        // pixels with a channel outside the bound
    double worstError = 0;   // largest distance of a channel from the reference, 8-bit units
    int worstX = -1, worstY = -1;
    std::uint32_t deviceValue = 0;  // 0xAARRGGBB at the worst pixel (channels by bit replication)
    PixelState reference;           // the reference at the worst pixel
    std::string error;              // set when the device's target could not be read
    // One line: the worst pixel, both values and the count outside.
    std::string Describe() const;
};

class Frame {
public:
    // A target of the device's back buffer format (X8R8G8B8, A8R8G8B8 or
    // R5G6B5) and depth format (D16, or D3DFMT_UNKNOWN for none).
    Frame(int width, int height, D3DFORMAT colorFormat, D3DFORMAT depthFormat);

    // Only rows y with y % step == phase are rendered and compared: a long
    // series of large frames can share out its rows among its frames.
    void SetRows(int step, int phase) { rowStep_ = step, rowPhase_ = phase; }
    bool RowIncluded(int y) const { return y % rowStep_ == rowPhase_; }
    int RowStep() const { return rowStep_; }
    int RowPhase() const { return rowPhase_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool HasDepth() const { return depthFormat_ != D3DFMT_UNKNOWN; }
    // Clears the rectangle [x0, x1) x [y0, y1) (the viewport).
    void Clear(int x0, int y0, int x1, int y1, DWORD flags, D3DCOLOR color, float z);
    // Merges a fragment into pixel (x, y): alpha test, depth test, blending
    // and the write, as the snapshot sets them.
    void Merge(int x, int y, const Snapshot& state, const Fragment& fragment);
    // The depth code interval of an exact depth value (allowance included).
    static Range DepthCodes(const Range& depth);

    // Reads the device's back buffer (copied into an image surface) and
    // compares every pixel with the bound.
    Comparison Compare(IDirect3DDevice8* device) const;

private:
    PixelState& At(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    const PixelState& At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    // What the target holds after a colour with these exact channel
    // intervals is written.
    ColorRange Held(const ColorRange& exact) const;

    int width_, height_;
    D3DFORMAT colorFormat_, depthFormat_;
    std::vector<PixelState> pixels_;
    int rowStep_ = 1, rowPhase_ = 0;
};

}  // namespace valmere::reference
