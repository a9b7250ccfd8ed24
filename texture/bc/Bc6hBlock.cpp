// BC6H: 16-byte blocks of 4x4 RGB half floats, unsigned (UF16) or signed
// (SF16), in 14 modes. Modes 1 and 2 are named by the 2-bit value in bits
// 0-1 (0 and 1); the others by the 5-bit value in bits 0-4 (2, 6, 10, 14,
// 18, 22, 26, 30, 3, 7, 11, 15 for modes 3 to 14; 19, 23, 27 and 31 are
// reserved and decode as black).
//
// After the mode come the endpoints: w and x (subset 0) and y and z
// (subset 1) for red, green and blue, their bits scattered in an order of
// each mode's own (kLayouts), then the 5-bit partition (modes 1 to 10, the
// first 32 two-subset patterns of BcPartitions.h). Then the indices: 3 bits
// for two subsets (46 bits from bit 82), 4 bits for one (63 bits from bit
// 65), anchors one bit fewer.
//
// w holds `endpointBits`; in the transformed modes x, y and z are signed
// deltas of their own widths added to w (modulo 2^endpointBits). Signed
// blocks sign-extend every endpoint from endpointBits. Each endpoint is
// then unquantised to 16 bits, interpolated with the BC7 weights, and scaled
// by 31/64 (unsigned) or 31/32 (signed) into the bits of a half float.
//
// Pixels are stored as A8R8G8B8: each half float clamped to 0..1 and
// rounded to 8 bits, alpha 255.
#include "texture/bc/BcBits.h"
#include "texture/bc/BcBlocks.h"
#include "texture/bc/BcPartitions.h"

#include <cmath>

namespace valmere::bc {
namespace {

enum Field : std::uint8_t { RW, GW, BW, RX, GX, BX, RY, GY, BY, RZ, GZ, BZ, kFields };

// `count` bits of the stream go to bits first.. of the field, the first
// stream bit lowest; reversed: the first stream bit goes to bit first and
// the following ones downwards.
struct Segment {
    Field field;
    std::uint8_t first;
    std::uint8_t count;
    bool reversed = false;
};

struct Bc6hMode {
    std::uint8_t code;       // the mode bits' value
    std::uint8_t modeBits;   // 2 or 5
    std::uint8_t subsets;    // 1 or 2
    bool transformed;        // x, y, z are deltas from w
    std::uint8_t endpointBits;
    std::uint8_t deltaBits[3];  // red, green, blue
    Segment layout[24];         // ends at the first segment of count 0
};

// clang-format off
constexpr Bc6hMode kModes[] = {
    {0x00, 2, 2, true, 10, {5, 5, 5}, {{GY,4,1},{BY,4,1},{BZ,4,1},{RW,0,10},{GW,0,10},{BW,0,10},{RX,0,5},{GZ,4,1},{GY,0,4},
        {GX,0,5},{BZ,0,1},{GZ,0,4},{BX,0,5},{BZ,1,1},{BY,0,4},{RY,0,5},{BZ,2,1},{RZ,0,5},{BZ,3,1}}},
    {0x01, 2, 2, true, 7, {6, 6, 6}, {{GY,5,1},{GZ,4,1},{GZ,5,1},{RW,0,7},{BZ,0,1},{BZ,1,1},{BY,4,1},{GW,0,7},{BY,5,1},
        {BZ,2,1},{GY,4,1},{BW,0,7},{BZ,3,1},{BZ,5,1},{BZ,4,1},{RX,0,6},{GY,0,4},{GX,0,6},{GZ,0,4},{BX,0,6},{BY,0,4},
        {RY,0,6},{RZ,0,6}}},
    {0x02, 5, 2, true, 11, {5, 4, 4}, {{RW,0,10},{GW,0,10},{BW,0,10},{RX,0,5},{RW,10,1},{GY,0,4},{GX,0,4},{GW,10,1},
        {BZ,0,1},{GZ,0,4},{BX,0,4},{BW,10,1},{BZ,1,1},{BY,0,4},{RY,0,5},{BZ,2,1},{RZ,0,5},{BZ,3,1}}},
    {0x06, 5, 2, true, 11, {4, 5, 4}, {{RW,0,10},{GW,0,10},{BW,0,10},{RX,0,4},{RW,10,1},{GZ,4,1},{GY,0,4},{GX,0,5},
        {GW,10,1},{GZ,0,4},{BX,0,4},{BW,10,1},{BZ,1,1},{BY,0,4},{RY,0,4},{BZ,0,1},{BZ,2,1},{RZ,0,4},{GY,4,1},{BZ,3,1}}},
    {0x0A, 5, 2, true, 11, {4, 4, 5}, {{RW,0,10},{GW,0,10},{BW,0,10},{RX,0,4},{RW,10,1},{BY,4,1},{GY,0,4},{GX,0,4},
        {GW,10,1},{BZ,0,1},{GZ,0,4},{BX,0,5},{BW,10,1},{BY,0,4},{RY,0,4},{BZ,1,1},{BZ,2,1},{RZ,0,4},{BZ,4,1},{BZ,3,1}}},
    {0x0E, 5, 2, true, 9, {5, 5, 5}, {{RW,0,9},{BY,4,1},{GW,0,9},{GY,4,1},{BW,0,9},{BZ,4,1},{RX,0,5},{GZ,4,1},{GY,0,4},
        {GX,0,5},{BZ,0,1},{GZ,0,4},{BX,0,5},{BZ,1,1},{BY,0,4},{RY,0,5},{BZ,2,1},{RZ,0,5},{BZ,3,1}}},
    {0x12, 5, 2, true, 8, {6, 5, 5}, {{RW,0,8},{GZ,4,1},{BY,4,1},{GW,0,8},{BZ,2,1},{GY,4,1},{BW,0,8},{BZ,3,1},{BZ,4,1},
        {RX,0,6},{GY,0,4},{GX,0,5},{BZ,0,1},{GZ,0,4},{BX,0,5},{BZ,1,1},{BY,0,4},{RY,0,6},{RZ,0,6}}},
    {0x16, 5, 2, true, 8, {5, 6, 5}, {{RW,0,8},{BZ,0,1},{BY,4,1},{GW,0,8},{GY,5,1},{GY,4,1},{BW,0,8},{GZ,5,1},{BZ,4,1},
        {RX,0,5},{GZ,4,1},{GY,0,4},{GX,0,6},{GZ,0,4},{BX,0,5},{BZ,1,1},{BY,0,4},{RY,0,5},{BZ,2,1},{RZ,0,5},{BZ,3,1}}},
    {0x1A, 5, 2, true, 8, {5, 5, 6}, {{RW,0,8},{BZ,1,1},{BY,4,1},{GW,0,8},{BY,5,1},{GY,4,1},{BW,0,8},{BZ,5,1},{BZ,4,1},
        {RX,0,5},{GZ,4,1},{GY,0,4},{GX,0,5},{BZ,0,1},{GZ,0,4},{BX,0,6},{BY,0,4},{RY,0,5},{BZ,2,1},{RZ,0,5},{BZ,3,1}}},
    {0x1E, 5, 2, false, 6, {6, 6, 6}, {{RW,0,6},{GZ,4,1},{BZ,0,1},{BZ,1,1},{BY,4,1},{GW,0,6},{GY,5,1},{BY,5,1},{BZ,2,1},
        {GY,4,1},{BW,0,6},{GZ,5,1},{BZ,3,1},{BZ,5,1},{BZ,4,1},{RX,0,6},{GY,0,4},{GX,0,6},{GZ,0,4},{BX,0,6},{BY,0,4},
        {RY,0,6},{RZ,0,6}}},
    {0x03, 5, 1, false, 10, {10, 10, 10}, {{RW,0,10},{GW,0,10},{BW,0,10},{RX,0,10},{GX,0,10},{BX,0,10}}},
    {0x07, 5, 1, true, 11, {9, 9, 9}, {{RW,0,10},{GW,0,10},{BW,0,10},{RX,0,9},{RW,10,1},{GX,0,9},{GW,10,1},{BX,0,9},
        {BW,10,1}}},
    {0x0B, 5, 1, true, 12, {8, 8, 8}, {{RW,0,10},{GW,0,10},{BW,0,10},{RX,0,8},{RW,11,2,true},{GX,0,8},{GW,11,2,true},
        {BX,0,8},{BW,11,2,true}}},
    {0x0F, 5, 1, true, 16, {4, 4, 4}, {{RW,0,10},{GW,0,10},{BW,0,10},{RX,0,4},{RW,15,6,true},{GX,0,4},{GW,15,6,true},
        {BX,0,4},{BW,15,6,true}}},
};
// clang-format on

constexpr std::uint8_t kWeights3[8] = {0, 9, 18, 27, 37, 46, 55, 64};
constexpr std::uint8_t kWeights4[16] = {0, 4, 9, 13, 17, 21, 26, 30, 34, 38, 43, 47, 51, 55, 60, 64};

const Bc6hMode* FindMode(std::uint32_t bits) {
    for (const Bc6hMode& m : kModes) {
        if ((bits & ((1u << m.modeBits) - 1)) == m.code) return &m;
    }
    return nullptr;
}

int SignExtend(int value, int bits) {
    const int shift = 32 - bits;
    return static_cast<int>(static_cast<unsigned>(value) << shift) >> shift;
}

// An endpoint component of `bits` bits to 16 bits.
int Unquantize(int v, int bits, bool isSigned) {
    if (!isSigned) {
        if (bits >= 15) return v;
        if (v == 0) return 0;
        if (v == (1 << bits) - 1) return 0xFFFF;
        return ((v << 16) + 0x8000) >> bits;
    }
    if (bits >= 16) return v;
    const bool negative = v < 0;
    const int magnitude = negative ? -v : v;
    int u = 0;
    if (magnitude == 0) {
        u = 0;
    } else if (magnitude >= (1 << (bits - 1)) - 1) {
        u = 0x7FFF;
    } else {
        u = ((magnitude << 15) + 0x4000) >> (bits - 1);
    }
    return negative ? -u : u;
}

// An interpolated 16-bit value to the bits of a half float, then to a byte
// of 0..1 (negative and NaN give 0, above 1 gives 255).
std::uint8_t HalfToByte(int v, bool isSigned) {
    std::uint32_t half = 0;
    if (!isSigned) {
        half = static_cast<std::uint32_t>((v * 31) >> 6);
    } else {
        half = v < 0 ? 0x8000u | static_cast<std::uint32_t>(((-v) * 31) >> 5) : static_cast<std::uint32_t>((v * 31) >> 5);
    }
    if (half & 0x8000u) return 0;
    const int exponent = static_cast<int>(half >> 10) & 31;
    const int mantissa = static_cast<int>(half & 1023);
    // Largest half below 1.0 is 0x3BFF; 0x3C00 and above (infinities and NaN
    // cannot arise: the scale keeps them out) are 1 or more.
    if (half >= 0x3C00u) return 255;
    const float value = exponent == 0 ? std::ldexp(static_cast<float>(mantissa), -24)
                                      : std::ldexp(static_cast<float>(1024 + mantissa), exponent - 25);
    return static_cast<std::uint8_t>(value * 255.0f + 0.5f);
}

void DecodeBlock(const std::uint8_t* block, std::uint8_t* out, std::size_t pitch, bool isSigned) {
    const Block128 bits = LoadBlock128(block);
    const Bc6hMode* mode = FindMode(static_cast<std::uint32_t>(bits));
    if (!mode) {
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const std::uint8_t black[4] = {0, 0, 0, 255};
                std::memcpy(out + y * pitch + 4 * x, black, 4);
            }
        }
        return;
    }
    BitReader reader(bits, mode->modeBits);
    int fields[kFields] = {};
    for (const Segment& s : mode->layout) {
        if (s.count == 0) break;
        const std::uint32_t v = reader.Read(s.count);
        for (int i = 0; i < s.count; ++i) {
            const int bit = s.reversed ? s.first - i : s.first + i;
            fields[s.field] |= static_cast<int>((v >> i) & 1) << bit;
        }
    }
    const unsigned pattern = mode->subsets == 2 ? reader.Read(5) : 0;

    // Endpoints as [channel][w, x, y, z].
    const int endpointBits = mode->endpointBits;
    int e[3][4];
    for (int c = 0; c < 3; ++c) {
        e[c][0] = fields[RW + c];
        e[c][1] = fields[RX + c];
        e[c][2] = fields[RY + c];
        e[c][3] = fields[RZ + c];
        if (isSigned) e[c][0] = SignExtend(e[c][0], endpointBits);
        for (int k = 1; k < 4; ++k) {
            if (mode->transformed) {
                e[c][k] = (e[c][0] + SignExtend(e[c][k], mode->deltaBits[c])) & ((1 << endpointBits) - 1);
            }
            if (isSigned) e[c][k] = SignExtend(e[c][k], endpointBits);
        }
        for (int& v : e[c]) v = Unquantize(v, endpointBits, isSigned);
    }

    const int indexBits = mode->subsets == 2 ? 3 : 4;
    const std::uint8_t* weights = indexBits == 3 ? kWeights3 : kWeights4;
    std::uint64_t indices = 0;
    std::uint32_t subsets = 0;
    reader = BitReader(bits, mode->subsets == 2 ? 82 : 65);
    if (mode->subsets == 2) {
        const unsigned anchors[2] = {0, kTwoSubsetPartitions.anchor1[pattern]};
        indices = ExpandAnchoredIndices(reader.Peek64(46), 3, anchors);
        subsets = kTwoSubsetPartitions.subsets[pattern];
    } else {
        const unsigned anchors[1] = {0};
        indices = ExpandAnchoredIndices(reader.Peek64(63), 4, anchors);
    }
    const std::uint64_t indexMask = (1u << indexBits) - 1;
    for (int i = 0; i < 16; ++i) {
        const unsigned s = (subsets >> (2 * i)) & 3;
        const int w = weights[(indices >> (indexBits * i)) & indexMask];
        std::uint8_t* pixel = out + (i >> 2) * pitch + 4 * (i & 3);
        for (int c = 0; c < 3; ++c) {
            const int v = ((64 - w) * e[c][2 * s] + w * e[c][2 * s + 1] + 32) >> 6;
            pixel[2 - c] = HalfToByte(v, isSigned);  // red in byte 2, blue in byte 0
        }
        pixel[3] = 255;
    }
}

void DecodeBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch, bool isSigned) {
    for (std::size_t b = 0; b < count; ++b) DecodeBlock(blocks + 16 * b, out + 16 * b, outPitch, isSigned);
}

}  // namespace

void DecodeBc6hUf16Blocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch) {
    DecodeBlocks(blocks, count, out, outPitch, false);
}

void DecodeBc6hSf16Blocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch) {
    DecodeBlocks(blocks, count, out, outPitch, true);
}

}  // namespace valmere::bc
