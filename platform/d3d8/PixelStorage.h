// The memory of one surface or volume: rows of pixels (or of 4x4 blocks)
// with a row pitch, and depth slices with a slice pitch.
//
// Rows of pixel formats are padded to 16 bytes, so code that assumes
// pitch == width * bytes per pixel is caught; rows of blocks are packed.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d8/FormatLayout.h"

namespace valmere::d3d8 {

class PixelStorage {
public:
    // Throws std::bad_alloc when the memory cannot be had.
    PixelStorage(const FormatLayout& layout, unsigned width, unsigned height, unsigned depth = 1);

    const FormatLayout& Layout() const { return *layout_; }
    D3DFORMAT Format() const { return layout_->format; }
    unsigned Width() const { return width_; }
    unsigned Height() const { return height_; }
    unsigned Depth() const { return depth_; }
    std::size_t Pitch() const { return pitch_; }
    std::size_t SlicePitch() const { return slicePitch_; }
    // Bytes of the pixels without row padding (the Size of a description).
    UINT PackedSize() const;

    std::uint8_t* Bits() { return bytes_.data(); }
    const std::uint8_t* Bits() const { return bytes_.data(); }

    // A region is usable when it is non-empty, inside the extent, and for
    // block formats starts on a block and ends on a block or at the edge.
    bool IsValidRegion(const D3DBOX& box) const;
    D3DBOX WholeRegion() const;
    // Address of pixel (x, y, z); for block formats x and y are multiples of 4.
    std::uint8_t* Address(unsigned x, unsigned y, unsigned z);
    const std::uint8_t* Address(unsigned x, unsigned y, unsigned z) const;

    // Every change of the contents bumps the generation, so that caches built
    // from the pixels (sampling copies) know when to rebuild.
    void MarkChanged() { ++generation_; }
    std::uint64_t Generation() const { return generation_; }
    // Zeroes the contents (lost contents of a default-pool resource).
    void Discard();

    bool locked = false;

private:
    const FormatLayout* layout_;
    unsigned width_;
    unsigned height_;
    unsigned depth_;
    std::size_t pitch_;
    std::size_t slicePitch_;
    std::vector<std::uint8_t> bytes_;
    std::uint64_t generation_ = 1;
};

// Copies a region of source into destination at (x, y, z) of the same size.
// Both must have the same format; the caller validates both regions.
void CopyRegion(const PixelStorage& source, const D3DBOX& region, PixelStorage& destination, unsigned x, unsigned y,
                unsigned z);

// The box of a rectangle (whole extent when rect is null), or false when the
// rectangle has negative coordinates.
bool BoxFromRect(const PixelStorage& storage, const RECT* rect, D3DBOX& box);

}  // namespace valmere::d3d8
