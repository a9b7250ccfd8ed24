// Decoders of the block formats a Direct3D 8 device cannot hold, each into
// a table format every device profile can hold:
//
//   BC4 unsigned   8 bytes  -> L8: the channel as it is
//   BC4 signed     8 bytes  -> L8: -1..1 mapped onto 0..255, (v + 1) x 127.5
//   BC5 unsigned  16 bytes  -> X8R8G8B8: the two channels in red and green,
//                              blue 0, as image viewers show them (A8L8
//                              would hold them in half the bytes, but as
//                              grey and alpha, nothing like the file)
//   BC5 signed    16 bytes  -> X8R8G8B8 the same, -1..1 mapped onto 0..255
//                              (V8U8 would keep the sign, but devices
//                              without bump-map formats could not hold it)
//   BC6H          16 bytes  -> A8R8G8B8: half floats clamped to 0..1, alpha 1
//   BC7           16 bytes  -> A8R8G8B8
//
// Each function decodes `count` blocks that lie one after the other in
// memory and side by side in the image into the four pixel rows at `out`:
// pixel x of row y at out + y x outPitch + x x (bytes per pixel). Every bit
// pattern decodes (the reserved BC7 mode gives transparent black, the block
// description's all-zero block; reserved BC6H modes give black), so no
// block can fail.
#pragma once

#include <cstddef>
#include <cstdint>

namespace valmere::bc {

void DecodeBc4UnormBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch);
void DecodeBc4SnormBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch);
void DecodeBc5UnormBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch);
void DecodeBc5SnormBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch);
void DecodeBc6hUf16Blocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch);
void DecodeBc6hSf16Blocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch);
void DecodeBc7Blocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch);

}  // namespace valmere::bc
