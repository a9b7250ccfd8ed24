#include "platform/d3d8/PixelStorage.h"

#include <cstring>

namespace valmere::d3d8 {
namespace {

constexpr std::size_t kRowAlignment = 16;

std::size_t PaddedRowBytes(const FormatLayout& layout, unsigned width) {
    const std::size_t bytes = RowBytes(layout, width);
    if (IsBlockFormat(layout)) return bytes;
    return (bytes + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
}

bool EndsOnBlock(unsigned end, unsigned extent) { return end % 4 == 0 || end == extent; }

}  // namespace

PixelStorage::PixelStorage(const FormatLayout& layout, unsigned width, unsigned height, unsigned depth)
    : layout_(&layout),
      width_(width),
      height_(height),
      depth_(depth),
      pitch_(PaddedRowBytes(layout, width)),
      slicePitch_(pitch_ * RowCount(layout, height)),
      bytes_(slicePitch_ * depth) {}

UINT PixelStorage::PackedSize() const {
    return static_cast<UINT>(RowBytes(*layout_, width_) * RowCount(*layout_, height_) * depth_);
}

bool PixelStorage::IsValidRegion(const D3DBOX& box) const {
    if (box.Left >= box.Right || box.Top >= box.Bottom || box.Front >= box.Back) return false;
    if (box.Right > width_ || box.Bottom > height_ || box.Back > depth_) return false;
    if (!IsBlockFormat(*layout_)) return true;
    return box.Left % 4 == 0 && box.Top % 4 == 0 && EndsOnBlock(box.Right, width_) &&
           EndsOnBlock(box.Bottom, height_);
}

D3DBOX PixelStorage::WholeRegion() const { return D3DBOX{0, 0, width_, height_, 0, depth_}; }

std::uint8_t* PixelStorage::Address(unsigned x, unsigned y, unsigned z) {
    return const_cast<std::uint8_t*>(static_cast<const PixelStorage*>(this)->Address(x, y, z));
}

const std::uint8_t* PixelStorage::Address(unsigned x, unsigned y, unsigned z) const {
    const bool blocks = IsBlockFormat(*layout_);
    const std::size_t row = blocks ? y / 4 : y;
    const std::size_t column = blocks ? std::size_t{x} / 4 * layout_->blockBytes : std::size_t{x} * layout_->bitsPerPixel / 8;
    return bytes_.data() + z * slicePitch_ + row * pitch_ + column;
}

void PixelStorage::Discard() {
    std::memset(bytes_.data(), 0, bytes_.size());
    MarkChanged();
}

void CopyRegion(const PixelStorage& source, const D3DBOX& region, PixelStorage& destination, unsigned x, unsigned y,
                unsigned z) {
    const FormatLayout& layout = source.Layout();
    const std::size_t rowBytes = RowBytes(layout, region.Right - region.Left);
    const unsigned rows = RowCount(layout, region.Bottom - region.Top);
    const unsigned rowStep = IsBlockFormat(layout) ? 4 : 1;
    for (unsigned slice = 0; slice < region.Back - region.Front; ++slice)
        for (unsigned row = 0; row < rows; ++row)
            std::memcpy(destination.Address(x, y + row * rowStep, z + slice),
                        source.Address(region.Left, region.Top + row * rowStep, region.Front + slice), rowBytes);
    destination.MarkChanged();
}

bool BoxFromRect(const PixelStorage& storage, const RECT* rect, D3DBOX& box) {
    if (rect == nullptr) {
        box = storage.WholeRegion();
        return true;
    }
    if (rect->left < 0 || rect->top < 0 || rect->right < 0 || rect->bottom < 0) return false;
    box = D3DBOX{static_cast<UINT>(rect->left), static_cast<UINT>(rect->top), static_cast<UINT>(rect->right),
                 static_cast<UINT>(rect->bottom), 0, 1};
    return true;
}

}  // namespace valmere::d3d8
