#include "texture/image/DecodedImage.h"

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

}  // namespace valmere
