// BC5: two channels, each an 8-byte block of its own (BcChannel.h), red in
// bytes 0-7 and green in bytes 8-15. Unsigned blocks decode to X8R8G8B8
// (bytes blue 0, green, red, 0); signed blocks to V8U8 (bytes U = red,
// V = green, as signed codes).
#include "texture/bc/BcBlocks.h"
#include "texture/bc/BcChannel.h"

namespace valmere::bc {
namespace {

// `store` writes one pixel of kPixelBytes from its red and green values.
template <bool kSigned, std::size_t kPixelBytes, class Map, class Store>
void DecodeBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch, Map map,
                  Store store) {
    for (std::size_t b = 0; b < count; ++b) {
        std::uint8_t red[16];
        std::uint8_t green[16];
        DecodeChannel<kSigned>(blocks + 16 * b, red, map);
        DecodeChannel<kSigned>(blocks + 16 * b + 8, green, map);
        for (int i = 0; i < 16; ++i) {
            store(out + (i >> 2) * outPitch + (4 * b + (i & 3)) * kPixelBytes, red[i], green[i]);
        }
    }
}

}  // namespace

void DecodeBc5UnormBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch) {
    DecodeBlocks<false, 4>(blocks, count, out, outPitch, UnsignedByte, [](std::uint8_t* pixel, std::uint8_t r, std::uint8_t g) {
        const std::uint8_t bgrx[4] = {0, g, r, 0};
        std::memcpy(pixel, bgrx, 4);
    });
}

void DecodeBc5SnormBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch) {
    DecodeBlocks<true, 2>(blocks, count, out, outPitch, SignedByte, [](std::uint8_t* pixel, std::uint8_t u, std::uint8_t v) {
        pixel[0] = u;
        pixel[1] = v;
    });
}

}  // namespace valmere::bc
