// Helpers for the image reader tests: building files byte by byte, reading
// decoded pixels back as 8-bit RGBA, running external encoders.
#pragma once

#include "texture/image/DecodedImage.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace valmere::test {

using Bytes = std::vector<BYTE>;

// Appends little-endian fields.
class ByteWriter {
public:
    ByteWriter& U8(UINT v);
    ByteWriter& U16(UINT v);
    ByteWriter& U32(UINT v);
    ByteWriter& Raw(std::initializer_list<BYTE> bytes);
    ByteWriter& Raw(const Bytes& bytes);
    ByteWriter& Text(const std::string& text);
    ByteWriter& Fill(std::size_t count, BYTE value);
    Bytes& data() { return bytes_; }

private:
    Bytes bytes_;
};

// One pixel as 8-bit red, green, blue, alpha.
struct Rgba {
    BYTE r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

// Pixel (x, y) of slice 0 of a record, for the formats the readers make from
// ordinary image files (8-bit RGB and grey, 5-bit RGB, palettes, and the
// 16-bit extension formats reduced to their top 8 bits).
Rgba PixelAt(const DecodedImage& image, UINT x, UINT y);

// An info header of 40 bytes (or `headerSize`, zero-filled past 40).
Bytes DibHeader(int width, int height, UINT bitCount, UINT compression, UINT colorsUsed = 0,
                UINT headerSize = 40);
// "BM", file size, reserved, pixel offset, then the DIB.
Bytes BmpFile(const Bytes& dib);

// Runs a shell command; false when it fails.
bool RunCommand(const std::string& command);
// Whether a program is on PATH.
bool HaveProgram(const std::string& name);
// A Python that imports Pillow ("python3", else Debian's own), or "" when
// none does.
std::string PillowPython();
// Whole file, or nothing when it cannot be read.
std::optional<Bytes> ReadFile(const std::string& path);
void WriteFile(const std::string& path, const Bytes& bytes);
// A fresh directory for one test's files.
std::string TempDir(const std::string& name);

}  // namespace valmere::test
