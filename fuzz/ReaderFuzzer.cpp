// libFuzzer entry point for one image reader, chosen at build time by
// VALMERE_FUZZ_READER ("bmp", "dib", "ppm", "dds", "jpg", "png", "tga"), or
// all of them in order through LoadImage ("any"). After a successful read
// every byte that the records describe is read back, so a pitch, size or
// pointer that reaches outside the data shows up under AddressSanitizer.
#include "texture/image/ImageReaders.h"
#include "texture/image/LoadImage.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

unsigned Checksum(const valmere::DecodedImage& first) {
    unsigned sum = 0;
    for (const valmere::DecodedImage* face = &first; face; face = face->nextFace.get()) {
        for (const valmere::DecodedImage* level = face; level; level = level->nextLevel.get()) {
            if (level->width == 0 || level->height == 0 || level->depth == 0 || !level->pixels) {
                std::abort();  // a successful read always describes pixels
            }
            const std::size_t bytes = level->DataBytes();
            for (std::size_t i = 0; i < bytes; ++i) {
                sum += level->pixels[i];
            }
            if (level->palette) {
                for (int i = 0; i < 256; ++i) {
                    sum += level->palette[i].peRed + level->palette[i].peFlags;
                }
            }
        }
    }
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::string_view kReader = VALMERE_FUZZ_READER;
    valmere::DecodedImage image;
    HRESULT hr = E_FAIL;
    if (kReader == "any") {
        hr = valmere::LoadImage(image, data, size, nullptr, true);
    } else {
        const valmere::ImageReader* reader = valmere::FindImageReader(kReader);
        if (!reader) {
            std::abort();
        }
        image.wantPixels = true;
        image.fileFormat = reader->fileFormat;
        hr = reader->read(image, data, size);
    }
    if (SUCCEEDED(hr)) {
        volatile unsigned sink = Checksum(image);
        (void)sink;
    }
    return 0;
}
