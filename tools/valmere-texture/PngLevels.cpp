#include "tools/valmere-texture/PngLevels.h"

#include "platform/host/PngWriter.h"
#include "tools/common/RgbaPixels.h"
#include "tools/valmere-texture/TextureLevels.h"

namespace valmere::tools {

std::string PicturePath(const std::string& path, D3DRESOURCETYPE type, UINT level, UINT face, UINT slice) {
    std::string name = path.substr(0, path.size() - 4) + "_l" + std::to_string(level);
    if (type == D3DRTYPE_CUBETEXTURE) {
        name += "_f" + std::to_string(face);
    } else if (type == D3DRTYPE_VOLUMETEXTURE) {
        name += "_s" + std::to_string(slice);
    }
    return name + path.substr(path.size() - 4);
}

HRESULT WritePngLevels(IDirect3DBaseTexture8* texture, const PALETTEENTRY* palette, const std::string& path,
                       std::vector<std::string>& written) {
    TextureShape shape;
    HRESULT hr = DescribeTexture(texture, shape);
    if (FAILED(hr)) {
        return hr;
    }
    std::vector<BYTE> rgba;
    return ForEachLevel(texture, palette, [&](UINT face, UINT level, const LockedPixels& locked) {
        const UINT width = locked.region.Right - locked.region.Left;
        const UINT height = locked.region.Bottom - locked.region.Top;
        for (UINT slice = 0; slice < locked.region.Back - locked.region.Front; ++slice) {
            const HRESULT decoded = DecodeToRgba(locked, slice, rgba);
            if (FAILED(decoded)) {
                return decoded;
            }
            const std::string name = PicturePath(path, shape.type, level, face, slice);
            const host::PngRows rows{rgba.data(), static_cast<int>(width), static_cast<int>(height),
                                     static_cast<std::size_t>(width) * 4, host::PngChannels::Rgba};
            if (!host::WritePng(name, rows)) {
                return E_FAIL;
            }
            written.push_back(name);
        }
        return S_OK;
    });
}

}  // namespace valmere::tools
