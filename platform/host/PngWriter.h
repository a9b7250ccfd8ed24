// A minimal PNG writer for captured frames and tool output: 8-bit RGB or
// RGBA, no filtering, and deflate "stored" blocks, so it needs no
// compression library.
#pragma once

#include <cstdint>
#include <string>

namespace valmere::host {

// pixels: 0x00RRGGBB, rows top-down, width x height. False when the file
// cannot be written or the size is not positive.
bool WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height);
// rgba: red, green, blue, alpha bytes, rows top-down, width x height; written
// with its alpha channel. False as for WritePng.
bool WritePngRgba(const std::string& path, const std::uint8_t* rgba, int width, int height);

}  // namespace valmere::host
