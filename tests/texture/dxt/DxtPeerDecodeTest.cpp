// Random DXT1, DXT3 and DXT5 blocks (any order of the colour codes, any
// indices) decoded here and by libsquish, which reads them as graphics
// hardware does: three colours only in DXT1 blocks with colour0 <= colour1,
// four colours in the colour half of DXT3 and DXT5 whatever the codes.
// libsquish widens and interpolates in 8-bit integers, so channels may
// differ by one step.
#include "DxtTestUtil.h"

#include <gtest/gtest.h>
#include <squish.h>

#include <cmath>
#include <random>

namespace valmere::test {
namespace {

struct PeerCase {
    const char* name;
    int squishFlag;
    int bytes;
    UnpackBlockFn unpack;
};

void PrintTo(const PeerCase& c, std::ostream* out) { *out << c.name; }

class DxtPeerDecode : public ::testing::TestWithParam<PeerCase> {};

TEST_P(DxtPeerDecode, MatchesLibsquishWithinOneStep) {
    const PeerCase& c = GetParam();
    std::mt19937 random(20);
    int worst = 0;
    int reversedBlocks = 0;
    for (int n = 0; n < 4000; ++n) {
        Block block;
        for (auto& b : block) b = static_cast<std::uint8_t>(random());
        const std::uint8_t* colourHalf = block.data() + (c.bytes == 16 ? 8 : 0);
        reversedBlocks += Color0(colourHalf) <= Color1(colourHalf);
        Pixels ours;
        c.unpack(ours.data(), block.data());
        std::uint8_t theirs[64];
        squish::Decompress(theirs, block.data(), c.squishFlag);
        for (int i = 0; i < 16; ++i) {
            const float channels[4] = {ours[i].r, ours[i].g, ours[i].b, ours[i].a};
            for (int k = 0; k < 4; ++k) {
                const int ourByte = static_cast<int>(std::lround(channels[k] * 255.0f));
                worst = std::max(worst, std::abs(ourByte - theirs[4 * i + k]));
            }
        }
    }
    EXPECT_GT(reversedBlocks, 1000);  // colour0 <= colour1 is well covered
    EXPECT_LE(worst, 1);
}

INSTANTIATE_TEST_SUITE_P(Formats, DxtPeerDecode,
                         ::testing::Values(PeerCase{"Dxt1", squish::kDxt1, 8, UnpackBlockDxt1},
                                           PeerCase{"Dxt3", squish::kDxt3, 16, UnpackBlockDxt3},
                                           PeerCase{"Dxt5", squish::kDxt5, 16, UnpackBlockDxt5}),
                         [](const ::testing::TestParamInfo<PeerCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace valmere::test
