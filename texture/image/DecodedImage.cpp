#include "texture/image/DecodedImage.h"

#include "texture/format/BlockFormat.h"
#include "texture/format/PixelFormat.h"

#include <new>
#include <utility>

namespace valmere {
namespace {

using Link = std::unique_ptr<DecodedImage> DecodedImage::*;

// Destroys a chain along `link` node by node: each node's link is moved out
// before the node dies, so destructors never nest along the chain.
void DestroyChain(std::unique_ptr<DecodedImage>& head, Link link) {
    while (head) {
        std::unique_ptr<DecodedImage> node = std::move(head);
        head = std::move((*node).*link);
    }
}

}  // namespace

DecodedImage::~DecodedImage() {
    DestroyChain(nextLevel, &DecodedImage::nextLevel);
    DestroyChain(nextFace, &DecodedImage::nextFace);
}

BYTE* DecodedImage::AllocatePixels(std::size_t bytes) {
    if (bytes > kMaxDecodedBytes) {
        return nullptr;
    }
    std::unique_ptr<BYTE[]> storage(new (std::nothrow) BYTE[bytes == 0 ? 1 : bytes]);
    if (!storage) {
        return nullptr;
    }
    pixelStorage = std::move(storage);
    pixels = pixelStorage.get();
    return pixelStorage.get();
}

PALETTEENTRY* DecodedImage::AllocatePalette() {
    std::unique_ptr<PALETTEENTRY[]> storage(new (std::nothrow) PALETTEENTRY[256]);
    if (!storage) {
        return nullptr;
    }
    paletteStorage = std::move(storage);
    palette = paletteStorage.get();
    return paletteStorage.get();
}

void DecodedImage::Clear() {
    DestroyChain(nextLevel, &DecodedImage::nextLevel);
    DestroyChain(nextFace, &DecodedImage::nextFace);
    pixelStorage.reset();
    paletteStorage.reset();
    pixels = nullptr;
    palette = nullptr;
    format = D3DFMT_UNKNOWN;
    width = height = depth = 0;
    box = ImageBox{};
    rowPitch = slicePitch = 0;
}

UINT DecodedImage::LevelCount() const {
    UINT count = 1;
    for (const DecodedImage* level = nextLevel.get(); level; level = level->nextLevel.get()) {
        ++count;
    }
    return count;
}

std::size_t DecodedImage::DataBytes() const {
    if (height == 0 || depth == 0) {
        return 0;
    }
    std::size_t rows = height;
    std::size_t lastRow = rowPitch;
    if (FindBlockFormatRow(format)) {
        rows = (rows + 3) / 4;
    } else if (format != D3DFMT_UYVY && format != D3DFMT_YUY2) {
        lastRow = std::size_t{GetFormatInfo(format).bitsPerPixel / 8} * width;
    }
    return std::size_t{slicePitch} * (depth - 1) + std::size_t{rowPitch} * (rows - 1) + lastRow;
}

}  // namespace valmere
