#include "tests/texture/image/ImageTestSupport.h"

#include "texture/format/PixelFormat.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace valmere::test {

ByteWriter& ByteWriter::U8(UINT v) {
    bytes_.push_back(static_cast<BYTE>(v));
    return *this;
}
ByteWriter& ByteWriter::U16(UINT v) { return U8(v).U8(v >> 8); }
ByteWriter& ByteWriter::U32(UINT v) { return U16(v).U16(v >> 16); }
ByteWriter& ByteWriter::Raw(std::initializer_list<BYTE> bytes) {
    bytes_.insert(bytes_.end(), bytes);
    return *this;
}
ByteWriter& ByteWriter::Raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}
ByteWriter& ByteWriter::Text(const std::string& text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
}
ByteWriter& ByteWriter::Fill(std::size_t count, BYTE value) {
    bytes_.insert(bytes_.end(), count, value);
    return *this;
}

namespace {

BYTE Expand5(UINT c) { return static_cast<BYTE>((c << 3) | (c >> 2)); }
BYTE Expand6(UINT c) { return static_cast<BYTE>((c << 2) | (c >> 4)); }

UINT Le(const BYTE* p, UINT bytes) {
    UINT v = 0;
    for (UINT i = 0; i < bytes; ++i) {
        v |= static_cast<UINT>(p[i]) << (8 * i);
    }
    return v;
}

}  // namespace

Rgba PixelAt(const DecodedImage& image, UINT x, UINT y) {
    const UINT bytesPerPixel = GetFormatInfo(image.format).bitsPerPixel / 8;
    const BYTE* p = image.pixels + std::size_t{image.rowPitch} * y + std::size_t{bytesPerPixel} * x;
    const UINT v = Le(p, bytesPerPixel < 4 ? bytesPerPixel : 4);
    switch (static_cast<DWORD>(image.format)) {
        case D3DFMT_R8G8B8:
        case D3DFMT_X8R8G8B8: return Rgba{p[2], p[1], p[0], 255};
        case D3DFMT_A8R8G8B8: return Rgba{p[2], p[1], p[0], p[3]};
        case D3DFMT_L8: return Rgba{p[0], p[0], p[0], 255};
        case D3DFMT_A8L8: return Rgba{p[0], p[0], p[0], p[1]};
        case D3DFMT_X1R5G5B5: return Rgba{Expand5(v >> 10 & 31), Expand5(v >> 5 & 31), Expand5(v & 31), 255};
        case D3DFMT_A1R5G5B5:
            return Rgba{Expand5(v >> 10 & 31), Expand5(v >> 5 & 31), Expand5(v & 31), BYTE(v & 0x8000 ? 255 : 0)};
        case D3DFMT_R5G6B5: return Rgba{Expand5(v >> 11 & 31), Expand6(v >> 5 & 63), Expand5(v & 31), 255};
        case D3DFMT_A4R4G4B4:
            return Rgba{BYTE((v >> 8 & 15) * 17), BYTE((v >> 4 & 15) * 17), BYTE((v & 15) * 17), BYTE((v >> 12) * 17)};
        case D3DFMT_P8: {
            const PALETTEENTRY e = image.palette[p[0]];
            return Rgba{e.peRed, e.peGreen, e.peBlue, e.peFlags};
        }
        case kFormatL16: return Rgba{p[1], p[1], p[1], 255};
        case kFormatAL16: return Rgba{p[1], p[1], p[1], p[3]};
        case kFormatR16: return Rgba{p[5], p[3], p[1], 255};
        case kFormatAR16: return Rgba{p[5], p[3], p[1], p[7]};
        default: std::abort();
    }
}

Bytes DibHeader(int width, int height, UINT bitCount, UINT compression, UINT colorsUsed, UINT headerSize) {
    ByteWriter w;
    w.U32(headerSize).U32(static_cast<UINT>(width)).U32(static_cast<UINT>(height)).U16(1).U16(bitCount);
    w.U32(compression).U32(0).U32(2835).U32(2835).U32(colorsUsed).U32(0);
    w.Fill(headerSize - 40, 0);
    return w.data();
}

Bytes BmpFile(const Bytes& dib) {
    ByteWriter w;
    w.Text("BM").U32(static_cast<UINT>(14 + dib.size())).U32(0).U32(14 + Le(dib.data(), 4));
    w.Raw(dib);
    return w.data();
}

bool RunCommand(const std::string& command) { return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0; }

bool HaveProgram(const std::string& name) { return RunCommand("command -v " + name); }

std::string PillowPython() {
    static const std::string python = [] {
        for (const char* candidate : {"python3", "/usr/bin/python3"}) {
            if (RunCommand(std::string(candidate) + " -c 'import PIL'")) {
                return std::string(candidate);
            }
        }
        return std::string();
    }();
    return python;
}

std::optional<Bytes> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string TempDir(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("valmere-image-" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

}  // namespace valmere::test
