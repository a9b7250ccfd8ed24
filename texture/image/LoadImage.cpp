#include "texture/image/LoadImage.h"

#include "texture/format/PixelFormat.h"
#include "texture/image/ImageReaders.h"
#include "texture/image/ReaderSupport.h"

#include <cstdarg>
#include <cstdio>
#include <string_view>

namespace valmere {
namespace {

thread_local const char* t_lastRejection = "";

constexpr ImageReader kReaders[] = {
    {"bmp", D3DXIFF_BMP, ReadBmp}, {"ppm", D3DXIFF_PPM, ReadPpm}, {"dds", D3DXIFF_DDS, ReadDds},
    {"jpg", D3DXIFF_JPG, ReadJpeg}, {"png", D3DXIFF_PNG, ReadPng}, {"tga", D3DXIFF_TGA, ReadTga},
    {"dib", D3DXIFF_DIB, ReadDib},
};

void SetWholeBoxes(DecodedImage& first) {
    for (DecodedImage* face = &first; face; face = face->nextFace.get()) {
        for (DecodedImage* level = face; level; level = level->nextLevel.get()) {
            level->box = ImageBox{0, 0, level->width, level->height, 0, level->depth};
        }
    }
}

}  // namespace

HRESULT Reject(const char* reason) {
    t_lastRejection = reason;
    return E_FAIL;
}

HRESULT RejectFormatted(const char* format, ...) {
    thread_local char reason[160];
    std::va_list args;
    va_start(args, format);
    std::vsnprintf(reason, sizeof reason, format, args);
    va_end(args);
    return Reject(reason);
}

const char* LastRejection() { return t_lastRejection; }

std::span<const ImageReader> ImageReaders() { return kReaders; }

const ImageReader* FindImageReader(std::string_view name) {
    for (const ImageReader& reader : kReaders) {
        if (name == reader.name) {
            return &reader;
        }
    }
    return nullptr;
}

HRESULT LoadImage(DecodedImage& image, const void* bytes, std::size_t size, D3DXIMAGE_INFO* info,
                  bool wantPixels) {
    const BYTE* data = static_cast<const BYTE*>(bytes);
    if (!data) {
        size = 0;
    }
    for (const ImageReader& reader : kReaders) {
        image.Clear();
        image.wantPixels = wantPixels;
        image.fileFormat = reader.fileFormat;
        image.resourceType = D3DRTYPE_TEXTURE;
        if (data && SUCCEEDED(reader.read(image, data, size))) {
            if (info) {
                *info = D3DXIMAGE_INFO{};
                info->Width = image.width;
                info->Height = image.height;
                info->Depth = image.depth;
                info->MipLevels = image.LevelCount();
                info->Format = ToPublicFormat(image.format);
                info->ResourceType = image.resourceType;
                info->ImageFileFormat = image.fileFormat;
            }
            SetWholeBoxes(image);
            return S_OK;
        }
    }
    image.Clear();
    return D3DXERR_INVALIDDATA;
}

}  // namespace valmere
