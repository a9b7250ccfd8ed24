#include "tools/valmere-texture/SourceImage.h"

#include "texture/image/LoadImage.h"
#include "texture/load/LoadFromMemory.h"
#include "tools/valmere-texture/FormatNames.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace valmere::tools {

bool SourceImage::Read(const std::string& path, D3DCOLOR colorKey, std::string& error) {
    path_ = path;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        error = std::string("cannot open: ") + std::strerror(errno);
        return false;
    }
    try {
        BYTE chunk[1 << 16];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0;) {
            bytes_.insert(bytes_.end(), chunk, chunk + n);
        }
    } catch (const std::bad_alloc&) {
        error = "cannot read: out of memory";
        return false;
    }
    if (std::ferror(file.get())) {
        error = std::string("cannot read: ") + std::strerror(errno);
        return false;
    }
    const HRESULT hr = bytes_.empty() ? D3DXERR_INVALIDDATA : LoadImage(image_, bytes_.data(), bytes_.size(), &info_, true);
    if (FAILED(hr)) {
        error = "not an image file that the readers accept: " + ResultName(hr);
        return false;
    }
    colorKey_ = colorKey;
    BuildWorkingPalette(image_, colorKey_, palette_);
    return true;
}

LockedPixels SourceImage::Describe(const DecodedImage& level) const {
    const ImageBox& b = level.box;
    return Describe(level, D3DBOX{b.left, b.top, b.right, b.bottom, b.front, b.back});
}

LockedPixels SourceImage::Describe(const DecodedImage& level, const D3DBOX& box) const {
    return MemorySource(level.pixels, level.format, level.rowPitch, level.slicePitch, box, colorKey_, palette_);
}

}  // namespace valmere::tools
