// BC4: one channel in an 8-byte block (BcChannel.h), decoded to L8.
#include "texture/bc/BcBlocks.h"
#include "texture/bc/BcChannel.h"

namespace valmere::bc {
namespace {

template <bool kSigned, class Map>
void DecodeBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch, Map map) {
    for (std::size_t b = 0; b < count; ++b) {
        std::uint8_t values[16];
        DecodeChannel<kSigned>(blocks + 8 * b, values, map);
        for (int y = 0; y < 4; ++y) std::memcpy(out + y * outPitch + 4 * b, values + 4 * y, 4);
    }
}

}  // namespace

void DecodeBc4UnormBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch) {
    DecodeBlocks<false>(blocks, count, out, outPitch, UnsignedByte);
}

void DecodeBc4SnormBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch) {
    DecodeBlocks<true>(blocks, count, out, outPitch, SignedToUnsignedByte);
}

}  // namespace valmere::bc
