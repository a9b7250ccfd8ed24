#include "tests/tools/valmere-texture/ToolTestSupport.h"

#include "platform/host/HeadlessHost.h"
#include "texture/image/DdsLayout.h"
#include "texture/image/LoadImage.h"
#include "tools/common/RgbaPixels.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace valmere::test {

ToolRun RunTool(const std::string& dir, const std::string& arguments) {
    const std::string command = std::string(VALMERE_TEXTURE_TOOL_PATH) + " " + arguments + " >" + dir +
                                "/stdout.txt 2>" + dir + "/stderr.txt";
    const int status = std::system(command.c_str());
    ToolRun r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const Bytes out = ReadFile(dir + "/stdout.txt").value_or(Bytes{});
    const Bytes err = ReadFile(dir + "/stderr.txt").value_or(Bytes{});
    r.out.assign(out.begin(), out.end());
    r.err.assign(err.begin(), err.end());
    return r;
}

std::size_t LineCount(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

Bytes Bmp24(UINT width, UINT height, const PixelFunction& pixel) {
    ByteWriter w;
    w.Raw(DibHeader(static_cast<int>(width), static_cast<int>(height), 24, 0));
    for (UINT row = height; row-- > 0;) {
        for (UINT x = 0; x < width; ++x) {
            const Rgba p = pixel(x, row);
            w.U8(p.b).U8(p.g).U8(p.r);
        }
        w.Fill((4 - width * 3 % 4) % 4, 0);
    }
    return BmpFile(w.data());
}

Bytes Tga(UINT width, UINT height, UINT bits, const PixelFunction& pixel) {
    ByteWriter w;
    const bool grey = bits <= 16;
    w.U8(0).U8(0).U8(grey ? 3 : 2).U16(0).U16(0).U8(0).U16(0).U16(0).U16(width).U16(height).U8(bits);
    w.U8(0x20 | (bits == 16 || bits == 32 ? 8 : 0));  // top-down, alpha bits
    for (UINT y = 0; y < height; ++y) {
        for (UINT x = 0; x < width; ++x) {
            const Rgba p = pixel(x, y);
            if (grey) {
                w.U8(p.r);
                if (bits == 16) w.U8(p.a);
            } else {
                w.U8(p.b).U8(p.g).U8(p.r);
                if (bits == 32) w.U8(p.a);
            }
        }
    }
    return w.data();
}

std::unique_ptr<Loaded> Load(const std::string& path) {
    auto loaded = std::make_unique<Loaded>();
    loaded->bytes = ReadFile(path).value_or(Bytes{});
    EXPECT_EQ(LoadImage(loaded->image, loaded->bytes.data(), loaded->bytes.size(), &loaded->info, true), S_OK)
        << path;
    return loaded;
}

Rgba Decoded(const DecodedImage& image, UINT x, UINT y) {
    std::vector<BYTE> rgba;
    EXPECT_EQ(tools::DecodeToRgba(image, 0, rgba), S_OK);
    if (rgba.empty()) return {};
    const BYTE* p = rgba.data() + (std::size_t{y} * image.width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

namespace {

constexpr char kClassName[] = "ValmereTextureToolTests";

}  // namespace

HeadlessDevice::~HeadlessDevice() {
    device_.Reset();
    direct3D_.Reset();
    if (window_) DestroyWindow(window_);
    if (registered_) UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
}

HRESULT HeadlessDevice::Create() {
    host::InstallHeadlessHost();
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    registered_ = RegisterClassExA(&windowClass) != 0;
    window_ = registered_ ? CreateWindowExA(0, kClassName, "tests", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                                            windowClass.hInstance, nullptr)
                          : nullptr;
    direct3D_ = ComPtr<IDirect3D8>::Adopt(Direct3DCreate8(D3D_SDK_VERSION));
    if (!window_ || !direct3D_) return E_FAIL;
    D3DDISPLAYMODE desktop{};
    HRESULT hr = direct3D_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop);
    if (FAILED(hr)) return hr;
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = parameters.BackBufferHeight = 64;
    parameters.BackBufferFormat = desktop.Format;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = window_;
    parameters.Windowed = TRUE;
    return direct3D_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                   &parameters, device_.Receive());
}

HRESULT ReadTexture(IDirect3DBaseTexture8* texture, tools::TextureData& data) {
    data.type = texture->GetType();
    data.levels = texture->GetLevelCount();
    if (data.type == D3DRTYPE_VOLUMETEXTURE) {
        D3DVOLUME_DESC desc{};
        static_cast<IDirect3DVolumeTexture8*>(texture)->GetLevelDesc(0, &desc);
        data.format = desc.Format, data.width = desc.Width, data.height = desc.Height, data.depth = desc.Depth;
    } else {
        D3DSURFACE_DESC desc{};
        data.type == D3DRTYPE_CUBETEXTURE ? static_cast<IDirect3DCubeTexture8*>(texture)->GetLevelDesc(0, &desc)
                                          : static_cast<IDirect3DTexture8*>(texture)->GetLevelDesc(0, &desc);
        data.format = desc.Format, data.width = desc.Width, data.height = desc.Height, data.depth = 1;
    }
    if (!data.Allocate()) return E_OUTOFMEMORY;
    for (UINT face = 0; face < data.Faces(); ++face) {
        for (UINT level = 0; level < data.levels; ++level) {
            UINT rowBytes = 0, sliceBytes = 0;
            dds::LevelLayout(data.format, data.LevelWidth(level), data.LevelHeight(level), rowBytes, sliceBytes);
            const UINT rows = sliceBytes / rowBytes;
            BYTE* out = data.Image(face, level).data();
            if (data.type == D3DRTYPE_VOLUMETEXTURE) {
                auto* volume = static_cast<IDirect3DVolumeTexture8*>(texture);
                D3DLOCKED_BOX box{};
                HRESULT hr = volume->LockBox(level, &box, nullptr, D3DLOCK_READONLY);
                if (FAILED(hr)) return hr;
                for (UINT z = 0; z < data.LevelDepth(level); ++z) {
                    for (UINT y = 0; y < rows; ++y, out += rowBytes) {
                        std::memcpy(out, static_cast<BYTE*>(box.pBits) + z * box.SlicePitch + y * box.RowPitch, rowBytes);
                    }
                }
                volume->UnlockBox(level);
                continue;
            }
            ComPtr<IDirect3DSurface8> surface;
            HRESULT hr = data.type == D3DRTYPE_CUBETEXTURE
                             ? static_cast<IDirect3DCubeTexture8*>(texture)->GetCubeMapSurface(
                                   static_cast<D3DCUBEMAP_FACES>(face), level, surface.Receive())
                             : static_cast<IDirect3DTexture8*>(texture)->GetSurfaceLevel(level, surface.Receive());
            if (FAILED(hr)) return hr;
            D3DLOCKED_RECT rect{};
            hr = surface->LockRect(&rect, nullptr, D3DLOCK_READONLY);
            if (FAILED(hr)) return hr;
            for (UINT y = 0; y < rows; ++y, out += rowBytes) {
                std::memcpy(out, static_cast<BYTE*>(rect.pBits) + y * rect.Pitch, rowBytes);
            }
            surface->UnlockRect();
        }
    }
    return S_OK;
}

}  // namespace valmere::test
