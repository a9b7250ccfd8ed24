#include "tools/valmere-texture/PngLevels.h"

#include "platform/host/PngWriter.h"
#include "texture/format/BlockFormat.h"
#include "texture/format/PixelFormat.h"
#include "tools/common/RgbaPixels.h"
#include "tools/valmere-texture/FormatNames.h"

#include <algorithm>

namespace valmere::tools {
namespace {

using host::PngChannels;

PngChannels ChannelsOf(const TextureData& t) {
    if (t.format == kFormatBc4U || t.format == kFormatBc4S || t.format == D3DFMT_D16_LOCKABLE) return PngChannels::Grey;
    if (t.format == kFormatBc5U || t.format == kFormatBc5S) return PngChannels::Rgb;
    const PixelFormatInfo& info = GetFormatInfo(t.format);
    const bool alpha = info.channels[1] != 0;
    switch (info.kind) {
        case FormatKind::Luminance: return alpha ? PngChannels::GreyAlpha : PngChannels::Grey;
        case FormatKind::Palette:
            return alpha || std::any_of(t.palette.begin(), t.palette.end(), [](const PALETTEENTRY& e) { return e.peFlags != 255; })
                       ? PngChannels::Rgba
                       : PngChannels::Rgb;
        default: return alpha ? PngChannels::Rgba : PngChannels::Rgb;
    }
}

// One image of `texture` in a format the codecs read: itself, or for BC4
// and BC5 its blocks decoded into `decoded` (L8 or X8R8G8B8).
LockedPixels Readable(const TextureData& t, UINT face, UINT level, std::vector<BYTE>& decoded) {
    LockedPixels locked = t.Describe(face, level);
    const BlockFormatRow* row = FindBlockFormatRow(t.format);
    if (!DecodesOnLoad(row)) return locked;
    const UINT w = t.LevelWidth(level), h = t.LevelHeight(level), d = t.LevelDepth(level);
    const UINT across = (w + 3) / 4, down = (h + 3) / 4;
    const std::size_t pitch = std::size_t{across} * 4 * row->decodedBytesPerPixel;
    decoded.assign(pitch * down * 4 * d, 0);
    const auto* blocks = static_cast<const std::uint8_t*>(locked.pixels);
    for (UINT z = 0; z < d; ++z) {
        for (UINT by = 0; by < down; ++by) {
            row->decode(blocks + std::size_t{z} * static_cast<UINT>(locked.slicePitch) + std::size_t{by} * static_cast<UINT>(locked.rowPitch),
                        across, decoded.data() + (std::size_t{z} * down * 4 + by * 4) * pitch, pitch);
        }
    }
    locked.pixels = decoded.data();
    locked.format = row->decodedFormat;
    locked.rowPitch = static_cast<INT>(pitch);
    locked.slicePitch = static_cast<INT>(pitch * down * 4);
    return locked;
}

}  // namespace

std::string PicturePath(const std::string& path, const TextureData& t, UINT level, UINT face, UINT slice) {
    std::string name = path.substr(0, path.size() - 4);
    if (t.levels > 1) name += "_l" + std::to_string(level);
    if (t.type == D3DRTYPE_CUBETEXTURE) name += "_f" + std::to_string(face);
    if (t.type == D3DRTYPE_VOLUMETEXTURE) name += "_s" + std::to_string(slice);
    return name + path.substr(path.size() - 4);
}

bool WritePngLevels(const TextureData& t, const std::string& path, std::vector<std::string>& written,
                    std::string& error) {
    const PngChannels channels = ChannelsOf(t);
    const int count = static_cast<int>(channels);
    std::vector<BYTE> decoded, rgba, picture;
    for (UINT face = 0; face < t.Faces(); ++face) {
        for (UINT level = 0; level < t.levels; ++level) {
            const LockedPixels locked = Readable(t, face, level, decoded);
            const UINT w = t.LevelWidth(level), h = t.LevelHeight(level);
            for (UINT slice = 0; slice < t.LevelDepth(level); ++slice) {
                const HRESULT hr = DecodeToRgba(locked, slice, rgba);
                if (FAILED(hr)) {
                    error = "cannot decode " + FormatName(t.format) + " for a picture: " + ResultName(hr);
                    return false;
                }
                // RGBA to the picture's channels: grey is red (the codecs
                // give luminance in red, green and blue).
                picture.resize(std::size_t{w} * h * static_cast<std::size_t>(count));
                static constexpr int kTake[4][4] = {{0}, {0, 3}, {0, 1, 2}, {0, 1, 2, 3}};
                for (std::size_t p = 0; p < std::size_t{w} * h; ++p) {
                    for (int c = 0; c < count; ++c) picture[p * count + c] = rgba[p * 4 + kTake[count - 1][c]];
                }
                const std::string name = PicturePath(path, t, level, face, slice);
                const host::PngRows rows{picture.data(), static_cast<int>(w), static_cast<int>(h),
                                         std::size_t{w} * static_cast<std::size_t>(count), channels};
                if (!host::WritePng(name, rows)) {
                    error = "cannot write " + name;
                    return false;
                }
                written.push_back(name);
            }
        }
    }
    return true;
}

}  // namespace valmere::tools
