// What the texture tool's tests share: running the tool, writing small
// image files, reading outputs back with the project's readers, and a
// headless device for the textures the D3DX functions make.
#pragma once

#include "platform/d3d8/ComPtr.h"
#include "platform/d3d8/Direct3D8.h"
#include "tests/texture/image/ImageTestSupport.h"
#include "tools/valmere-texture/TextureData.h"

#include <functional>
#include <memory>
#include <string>

namespace valmere::test {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// valmere-texture with `arguments` (a shell word list), its output captured
// in `dir`.
ToolRun RunTool(const std::string& dir, const std::string& arguments);

// Number of lines of `text` (each ended by a newline).
std::size_t LineCount(const std::string& text);

using PixelFunction = std::function<Rgba(UINT x, UINT y)>;

// A bottom-up 24-bit BMP.
Bytes Bmp24(UINT width, UINT height, const PixelFunction& pixel);
// An uncompressed top-down TGA of 8 (grey: red), 16 (grey and alpha), 24 or
// 32 bits per pixel.
Bytes Tga(UINT width, UINT height, UINT bits, const PixelFunction& pixel);

// A file read back with the project's readers; the records point into `bytes`.
struct Loaded {
    Bytes bytes;
    DecodedImage image;
    D3DXIMAGE_INFO info{};
};
std::unique_ptr<Loaded> Load(const std::string& path);

// Pixel (x, y) of slice 0 of a record of any format with a codec (DXT
// included) as 8-bit RGBA.
Rgba Decoded(const DecodedImage& image, UINT x, UINT y);

// A Direct3D device without a display (the headless host, a hidden window,
// a small windowed device) for the D3DX functions.
class HeadlessDevice {
public:
    HeadlessDevice() = default;
    HeadlessDevice(const HeadlessDevice&) = delete;
    HeadlessDevice& operator=(const HeadlessDevice&) = delete;
    ~HeadlessDevice();
    HRESULT Create();
    IDirect3DDevice8* Get() const { return device_.Get(); }

private:
    HWND window_ = nullptr;
    bool registered_ = false;
    ComPtr<IDirect3D8> direct3D_;
    ComPtr<IDirect3DDevice8> device_;
};

// Every level of every face of a device texture, read back through locks.
HRESULT ReadTexture(IDirect3DBaseTexture8* texture, tools::TextureData& data);

}  // namespace valmere::test
