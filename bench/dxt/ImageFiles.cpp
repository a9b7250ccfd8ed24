#include "ImageFiles.h"

#include "texture/codec/PixelCodec.h"
#include "texture/image/LoadImage.h"
#include "texture/load/LoadFromMemory.h"

#include <cmath>
#include <fstream>
#include <iterator>

namespace valmere::bench {
namespace {

std::uint8_t ToByte(float v) { return static_cast<std::uint8_t>(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255.0f + 0.5f); }

}  // namespace

bool LoadImageFiles(const std::vector<std::string>& paths, std::vector<Image>& images, std::string& error) {
    for (const std::string& path : paths) {
        std::ifstream in(path, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        DecodedImage decoded;
        if (bytes.empty() || FAILED(LoadImage(decoded, bytes.data(), bytes.size(), nullptr, true))) {
            error = path + ": not an image file the readers accept";
            return false;
        }
        const LockedPixels locked = MemorySource(decoded.pixels, decoded.format, decoded.rowPitch, decoded.slicePitch,
                                                 D3DBOX{0, 0, decoded.width, decoded.height, 0, 1}, 0, decoded.palette);
        const std::unique_ptr<PixelCodec> codec = CreatePixelCodec(locked);
        if (!codec || decoded.width < 4 || decoded.height < 4) {
            error = path + ": no codec for its format, or smaller than a block";
            return false;
        }
        Image image;
        image.name = path.substr(path.find_last_of('/') + 1);
        image.width = static_cast<int>(decoded.width / 4 * 4);
        image.height = static_cast<int>(decoded.height / 4 * 4);
        image.rgba.resize(static_cast<std::size_t>(image.width) * image.height * 4);
        std::vector<D3DXCOLOR> row(decoded.width);
        for (int y = 0; y < image.height; ++y) {
            codec->DecodeRow(static_cast<UINT>(y), 0, row.data());
            std::uint8_t* out = &image.rgba[static_cast<std::size_t>(y) * image.width * 4];
            for (int x = 0; x < image.width; ++x, out += 4) {
                out[0] = ToByte(row[x].r);
                out[1] = ToByte(row[x].g);
                out[2] = ToByte(row[x].b);
                out[3] = 255;
            }
        }
        images.push_back(std::move(image));
    }
    return true;
}

}  // namespace valmere::bench
