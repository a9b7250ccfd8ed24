// The one PNG writer of the project (libpng, zlib's default compression and
// libpng's adaptive row filters), for captured frames, the texture tool's
// pictures and the benchmarks' output.
//
// A file is replaced whole (ReplaceFile.h): on failure `path` is untouched
// and no temporary file is left behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace valmere::host {

// Samples per pixel, 8 bits each, in PNG's order.
enum class PngChannels { Grey = 1, GreyAlpha = 2, Rgb = 3, Rgba = 4 };

// Rows of 8-bit samples, top-down; each row holds width * channels bytes
// and starts `pitch` bytes after the previous one.
struct PngRows {
    const std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    std::size_t pitch = 0;
    PngChannels channels = PngChannels::Rgba;
};

// False when the rows are empty (no data, a size below 1, a pitch shorter
// than a row) or the file cannot be written.
bool WritePng(const std::string& path, const PngRows& rows);

// A frame of 0x00RRGGBB pixels, rows top-down `pitchInPixels` apart, written
// as RGB without a copy. False as above.
bool WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height, int pitchInPixels);

}  // namespace valmere::host
