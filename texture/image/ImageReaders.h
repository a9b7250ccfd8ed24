// The image readers. Each takes the record, the whole file and its size, and
// returns S_OK, E_FAIL (not its format, or malformed), E_NOTIMPL (a variant it
// does not know) or E_OUTOFMEMORY. With image.wantPixels false a reader fills
// only the description (format, size, pitches, links).
#pragma once

#include "texture/image/DecodedImage.h"

#include <cstddef>
#include <span>
#include <string_view>

namespace valmere {

using ImageReadFunction = HRESULT (*)(DecodedImage& image, const BYTE* bytes, std::size_t size);

HRESULT ReadBmp(DecodedImage& image, const BYTE* bytes, std::size_t size);
HRESULT ReadDib(DecodedImage& image, const BYTE* bytes, std::size_t size);
HRESULT ReadPpm(DecodedImage& image, const BYTE* bytes, std::size_t size);
HRESULT ReadDds(DecodedImage& image, const BYTE* bytes, std::size_t size);
HRESULT ReadJpeg(DecodedImage& image, const BYTE* bytes, std::size_t size);
HRESULT ReadPng(DecodedImage& image, const BYTE* bytes, std::size_t size);
HRESULT ReadTga(DecodedImage& image, const BYTE* bytes, std::size_t size);

struct ImageReader {
    const char* name;  // "bmp", "ppm", "dds", "jpg", "png", "tga", "dib"
    D3DXIMAGE_FILEFORMAT fileFormat;
    ImageReadFunction read;
};

// The readers in the order LoadImage tries them: BMP, PPM, DDS, JPG, PNG, TGA, DIB.
std::span<const ImageReader> ImageReaders();
// The reader of that name, or null.
const ImageReader* FindImageReader(std::string_view name);

}  // namespace valmere
