// The pattern tables as the BC6H and BC7 block descriptions give them: the
// two-subset patterns as 16-bit masks of the pixels in subset 1 (bit i is
// pixel i), the three-subset patterns as rows of 16 subset digits, pixel 0
// first. They become subset words at compile time, where every anchor is
// also checked to lie in its own subset.
#include "texture/bc/BcPartitions.h"

namespace valmere::bc {
namespace {

constexpr std::uint16_t kSubsetOneMasks[kPartitionPatterns] = {
    0xCCCC, 0x8888, 0xEEEE, 0xECC8, 0xC880, 0xFEEC, 0xFEC8, 0xEC80,
    0xC800, 0xFFEC, 0xFE80, 0xE800, 0xFFE8, 0xFF00, 0xFFF0, 0xF000,
    0xF710, 0x008E, 0x7100, 0x08CE, 0x008C, 0x7310, 0x3100, 0x8CCE,
    0x088C, 0x3110, 0x6666, 0x366C, 0x17E8, 0x0FF0, 0x718E, 0x399C,
    0xAAAA, 0xF0F0, 0x5A5A, 0x33CC, 0x3C3C, 0x55AA, 0x9696, 0xA55A,
    0x73CE, 0x13C8, 0x324C, 0x3BDC, 0x6996, 0xC33C, 0x9966, 0x0660,
    0x0272, 0x04E4, 0x4E40, 0x2720, 0xC936, 0x936C, 0x39C6, 0x639C,
    0x9336, 0x9CC6, 0x817E, 0xE718, 0xCCF0, 0x0FCC, 0x7744, 0xEE22,
};

constexpr std::uint8_t kTwoSubsetAnchors[kPartitionPatterns] = {
    15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15,
    15, 2, 8, 2, 2, 8, 8, 15, 2, 8, 2, 2, 8, 8, 2, 2,
    15, 15, 6, 8, 2, 8, 15, 15, 2, 8, 2, 2, 2, 15, 15, 6,
    6, 2, 6, 8, 15, 15, 2, 2, 15, 15, 15, 15, 15, 2, 2, 15,
};

constexpr const char* kThreeSubsetRows[kPartitionPatterns] = {
    "0011001102212222", "0001001122112221", "0000200122112211", "0222002200110111",
    "0000000011221122", "0011001100220022", "0022002211111111", "0011001122112211",
    "0000000011112222", "0000111111112222", "0000111122222222", "0012001200120012",
    "0112011201120112", "0122012201220122", "0011011211221222", "0011200122002220",
    "0001001101121122", "0111001120012200", "0000112211221122", "0022002200221111",
    "0111011102220222", "0001000122212221", "0000001101220122", "0000110022102210",
    "0122012200110000", "0012001211222222", "0110122112210110", "0000011012211221",
    "0022110211020022", "0110011020022222", "0011012201220011", "0000200022112221",
    "0000000211221222", "0222002200120011", "0011001200220222", "0120012001200120",
    "0000111122220000", "0120120120120120", "0120201212010120", "0011220011220011",
    "0011112222000011", "0101010122222222", "0000000021212121", "0022112200221122",
    "0022001100220011", "0220122102201221", "0101222222220101", "0000212121212121",
    "0101010101012222", "0222011102220111", "0002111200021112", "0000211221122112",
    "0222011101110222", "0002111211120002", "0110011001102222", "0000000021122112",
    "0110011022222222", "0022001100110022", "0022112211220022", "0000000000002112",
    "0002000100020001", "0222122202221222", "0101222222222222", "0111201122012220",
};

constexpr std::uint8_t kThreeSubsetAnchors1[kPartitionPatterns] = {
    3, 3, 15, 15, 8, 3, 15, 15, 8, 8, 6, 6, 6, 5, 3, 3,
    3, 3, 8, 15, 3, 3, 6, 10, 5, 8, 8, 6, 8, 5, 15, 15,
    8, 15, 3, 5, 6, 10, 8, 15, 15, 3, 15, 5, 15, 15, 15, 15,
    3, 15, 5, 5, 5, 8, 5, 10, 5, 10, 8, 13, 15, 12, 3, 3,
};

constexpr std::uint8_t kThreeSubsetAnchors2[kPartitionPatterns] = {
    15, 8, 8, 3, 15, 15, 3, 8, 15, 15, 15, 15, 15, 15, 15, 8,
    15, 8, 15, 3, 15, 8, 15, 8, 3, 15, 6, 10, 15, 15, 10, 8,
    15, 3, 15, 10, 10, 8, 9, 10, 6, 15, 8, 15, 3, 6, 6, 8,
    15, 3, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 3, 15, 15, 8,
};

constexpr unsigned SubsetOf(std::uint32_t word, unsigned pixel) { return (word >> (2 * pixel)) & 3; }

constexpr PartitionTable MakeTwoSubsetTable() {
    PartitionTable t{};
    for (int p = 0; p < kPartitionPatterns; ++p) {
        for (unsigned i = 0; i < 16; ++i) t.subsets[p] |= static_cast<std::uint32_t>((kSubsetOneMasks[p] >> i) & 1) << (2 * i);
        t.anchor1[p] = kTwoSubsetAnchors[p];
    }
    return t;
}

constexpr PartitionTable MakeThreeSubsetTable() {
    PartitionTable t{};
    for (int p = 0; p < kPartitionPatterns; ++p) {
        for (unsigned i = 0; i < 16; ++i) t.subsets[p] |= static_cast<std::uint32_t>(kThreeSubsetRows[p][i] - '0') << (2 * i);
        t.anchor1[p] = kThreeSubsetAnchors1[p];
        t.anchor2[p] = kThreeSubsetAnchors2[p];
    }
    return t;
}

constexpr bool AnchorsLieInTheirSubsets(const PartitionTable& t, bool three) {
    for (int p = 0; p < kPartitionPatterns; ++p) {
        if (SubsetOf(t.subsets[p], 0) != 0 || SubsetOf(t.subsets[p], t.anchor1[p]) != 1) return false;
        if (three && SubsetOf(t.subsets[p], t.anchor2[p]) != 2) return false;
    }
    return true;
}

constexpr PartitionTable kTwo = MakeTwoSubsetTable();
constexpr PartitionTable kThree = MakeThreeSubsetTable();
static_assert(AnchorsLieInTheirSubsets(kTwo, false));
static_assert(AnchorsLieInTheirSubsets(kThree, true));

}  // namespace

const PartitionTable kTwoSubsetPartitions = kTwo;
const PartitionTable kThreeSubsetPartitions = kThree;

}  // namespace valmere::bc
