// BC5: two channels, each an 8-byte block of its own (BcChannel.h), red in
// bytes 0-7 and green in bytes 8-15, decoded to X8R8G8B8 (bytes blue 0,
// green, red, 0); signed blocks with -1..1 mapped onto 0..255.
#include "texture/bc/BcBlocks.h"
#include "texture/bc/BcChannel.h"

namespace valmere::bc {
namespace {

template <bool kSigned, class Map>
void DecodeBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch, Map map) {
    for (std::size_t b = 0; b < count; ++b) {
        std::uint8_t red[16];
        std::uint8_t green[16];
        DecodeChannel<kSigned>(blocks + 16 * b, red, map);
        DecodeChannel<kSigned>(blocks + 16 * b + 8, green, map);
        for (int i = 0; i < 16; ++i) {
            const std::uint8_t bgrx[4] = {0, green[i], red[i], 0};
            std::memcpy(out + (i >> 2) * outPitch + (4 * b + (i & 3)) * 4, bgrx, 4);
        }
    }
}

}  // namespace

void DecodeBc5UnormBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch) {
    DecodeBlocks<false>(blocks, count, out, outPitch, UnsignedByte);
}

void DecodeBc5SnormBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch) {
    DecodeBlocks<true>(blocks, count, out, outPitch, SignedToUnsignedByte);
}

}  // namespace valmere::bc
