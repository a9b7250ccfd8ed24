// BC5: two channels, each an 8-byte block of its own (BcChannel.h), red in
// bytes 0-7 and green in bytes 8-15. Unsigned blocks decode to X8R8G8B8
// (bytes blue 0, green, red, 0); signed blocks to V8U8 (bytes U = red,
// V = green, as signed codes).
#include "texture/bc/BcBlocks.h"
#include "texture/bc/BcChannel.h"

namespace valmere::bc {

void DecodeBc5UnormBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch) {
    for (std::size_t b = 0; b < count; ++b) {
        std::uint8_t red[16];
        std::uint8_t green[16];
        DecodeChannel<false>(blocks + 16 * b, red, UnsignedByte);
        DecodeChannel<false>(blocks + 16 * b + 8, green, UnsignedByte);
        for (int i = 0; i < 16; ++i) {
            std::uint8_t* pixel = out + (i >> 2) * outPitch + 16 * b + 4 * (i & 3);
            pixel[0] = 0;
            pixel[1] = green[i];
            pixel[2] = red[i];
            pixel[3] = 0;
        }
    }
}

void DecodeBc5SnormBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch) {
    for (std::size_t b = 0; b < count; ++b) {
        std::uint8_t red[16];
        std::uint8_t green[16];
        DecodeChannel<true>(blocks + 16 * b, red, SignedByte);
        DecodeChannel<true>(blocks + 16 * b + 8, green, SignedByte);
        for (int i = 0; i < 16; ++i) {
            std::uint8_t* pixel = out + (i >> 2) * outPitch + 8 * b + 2 * (i & 3);
            pixel[0] = red[i];
            pixel[1] = green[i];
        }
    }
}

}  // namespace valmere::bc
