#include "tools/valmere-texture/TextureTool.h"

#include "platform/d3d8/ComPtr.h"
#include "texture/format/PixelFormat.h"
#include "tools/valmere-texture/DdsWriter.h"
#include "tools/valmere-texture/FormatNames.h"
#include "tools/valmere-texture/HeadlessDevice.h"
#include "tools/valmere-texture/Options.h"
#include "tools/valmere-texture/PngLevels.h"
#include "tools/valmere-texture/TextureLevels.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace valmere::tools {
namespace {

constexpr int kFailed = 1;
constexpr int kBadCommandLine = 2;

int Fail(int code, const std::string& problem) {
    std::fprintf(stderr, "valmere-texture: %s\n", problem.c_str());
    return code;
}

const char* TypeName(D3DRESOURCETYPE type) {
    return type == D3DRTYPE_CUBETEXTURE ? "cube" : type == D3DRTYPE_VOLUMETEXTURE ? "volume" : "2D";
}

// The texture of the kind the file describes, through the matching Ex form.
HRESULT CreateFromFile(IDirect3DDevice8* device, const ToolOptions& o, D3DRESOURCETYPE type, PALETTEENTRY* palette,
                       ComPtr<IDirect3DBaseTexture8>& texture) {
    const char* file = o.input.c_str();
    HRESULT hr = E_FAIL;
    if (type == D3DRTYPE_CUBETEXTURE) {
        // A cube is square: --width, else --height, gives its edge.
        const UINT size = o.width != D3DX_DEFAULT ? o.width : o.height;
        IDirect3DCubeTexture8* cube = nullptr;
        hr = D3DXCreateCubeTextureFromFileExA(device, file, size, o.levels, 0, o.format, o.pool, o.filter, o.mipFilter,
                                              o.colorKey, nullptr, palette, &cube);
        texture = ComPtr<IDirect3DBaseTexture8>::Adopt(cube);
    } else if (type == D3DRTYPE_VOLUMETEXTURE) {
        IDirect3DVolumeTexture8* volume = nullptr;
        hr = D3DXCreateVolumeTextureFromFileExA(device, file, o.width, o.height, o.depth, o.levels, 0, o.format,
                                                o.pool, o.filter, o.mipFilter, o.colorKey, nullptr, palette, &volume);
        texture = ComPtr<IDirect3DBaseTexture8>::Adopt(volume);
    } else {
        IDirect3DTexture8* flat = nullptr;
        hr = D3DXCreateTextureFromFileExA(device, file, o.width, o.height, o.levels, 0, o.format, o.pool, o.filter,
                                          o.mipFilter, o.colorKey, nullptr, palette, &flat);
        texture = ComPtr<IDirect3DBaseTexture8>::Adopt(flat);
    }
    return hr;
}

void PrintInfo(const TextureShape& shape) {
    std::printf("Type %s\nWidth %u\nHeight %u\nDepth %u\nLevels %u\nFormat %s (%u)\n", TypeName(shape.type),
                shape.width, shape.height, shape.depth, shape.levels, FormatName(shape.format).c_str(),
                static_cast<UINT>(shape.format));
}

}  // namespace

int RunTextureTool(int argc, const char* const* argv) {
    ToolOptions o;
    std::string error;
    if (!ParseOptions(argc, argv, o, error)) {
        return Fail(kBadCommandLine, error + " (--help for usage)");
    }
    if (o.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // The texture functions answer every unreadable file alike; say which it is.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> probe(std::fopen(o.input.c_str(), "rb"), &std::fclose);
    if (!probe) {
        return Fail(kFailed, "cannot open \"" + o.input + "\": " + std::strerror(errno));
    }
    probe.reset();
    D3DXIMAGE_INFO info{};
    HRESULT hr = D3DXGetImageInfoFromFileA(o.input.c_str(), &info);
    if (FAILED(hr)) {
        return Fail(kFailed, "\"" + o.input + "\" is not an image file that the readers accept: " + ResultName(hr));
    }
    HeadlessDevice device;
    hr = device.Create();
    if (FAILED(hr)) {
        return Fail(kFailed, std::string(device.FailedCall()) + " failed: " + ResultName(hr));
    }
    // A palette out-parameter keeps palette formats; ask for one only when
    // such a format is asked for, else 8-bit files widen to RGB as usual.
    PALETTEENTRY palette[256]{};
    const bool keepPalette = GetFormatInfo(o.format).kind == FormatKind::Palette && o.format != D3DFMT_UNKNOWN;
    ComPtr<IDirect3DBaseTexture8> texture;
    hr = CreateFromFile(device.Get(), o, info.ResourceType, keepPalette ? palette : nullptr, texture);
    if (FAILED(hr)) {
        return Fail(kFailed, std::string("cannot make a ") + TypeName(info.ResourceType) + " texture of \"" +
                                 o.input + "\" with these options: " + ResultName(hr));
    }
    TextureShape shape;
    hr = DescribeTexture(texture.Get(), shape);
    if (FAILED(hr)) {
        return Fail(kFailed, "cannot describe the texture: " + ResultName(hr));
    }
    if (o.info) {
        PrintInfo(shape);
    }
    // Volumes have no device copy, so a default-pool one cannot be locked.
    if (o.outputKind != OutputKind::None && shape.type == D3DRTYPE_VOLUMETEXTURE && o.pool == D3DPOOL_DEFAULT) {
        return Fail(kFailed, "a default-pool volume texture cannot be read back to write \"" + o.output +
                                 "\"; choose another --pool");
    }
    const PALETTEENTRY* written = keepPalette ? palette : nullptr;
    if (o.outputKind == OutputKind::Dds) {
        hr = WriteDdsFile(texture.Get(), written, o.output);
    } else if (o.outputKind == OutputKind::Png) {
        std::vector<std::string> files;
        hr = WritePngLevels(texture.Get(), written, o.output, files);
    }
    if (FAILED(hr)) {
        return Fail(kFailed, "cannot write \"" + o.output + "\": " + ResultName(hr));
    }
    return 0;
}

}  // namespace valmere::tools
