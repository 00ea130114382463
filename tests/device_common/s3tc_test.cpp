// Compressed blocks decode to the values of the published S3TC layouts.
#include "platform/device_common/s3tc.h"

#include <gtest/gtest.h>

namespace device_common {
namespace {

TEST(DxtDecode, Dxt1FourColourBlockInterpolatesThirds) {
    // c0 = white (0xFFFF) > c1 = black (0x0000): palette white, black, 2/3 and 1/3 grey.
    // Index rows, texel 0 in the low bits: row 0 = 0,1,2,3; others all 2.
    const std::uint8_t block[8] = {0xFF, 0xFF, 0x00, 0x00, 0xE4, 0xAA, 0xAA, 0xAA};
    std::uint32_t texels[16];
    DecodeDxtBlock(D3DFMT_DXT1, block, texels);
    EXPECT_EQ(0xFFFFFFFFu, texels[0]);
    EXPECT_EQ(0xFF000000u, texels[1]);
    EXPECT_EQ(0xFFAAAAAAu, texels[2]);  // (2 * 255 + 0) / 3 = 170
    EXPECT_EQ(0xFF555555u, texels[3]);  // 85
    EXPECT_EQ(0xFFAAAAAAu, texels[15]);
}

TEST(DxtDecode, Dxt1ThreeColourBlockHasTransparentBlack) {
    // c0 = 0x001F (blue) <= c1 = 0xF800 (red): three colours, colour 2 the half-way mix and
    // index 3 transparent black.
    const std::uint8_t block[8] = {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0x00, 0x00, 0x00};
    std::uint32_t texels[16];
    DecodeDxtBlock(D3DFMT_DXT1, block, texels);
    EXPECT_EQ(0xFF0000FFu, texels[0]);
    EXPECT_EQ(0xFFFF0000u, texels[1]);
    EXPECT_EQ(0xFF800080u, texels[2]);  // (255 + 0) / 2 rounded up
    EXPECT_EQ(0x00000000u, texels[3]);
    EXPECT_EQ(0xFF0000FFu, texels[4]);
}

TEST(DxtDecode, Dxt5AlphaUsesEightOrSixStepPalettes) {
    // Alpha a0 = 255 > a1 = 0: a2..a7 are 6/7 ... 1/7 of 255 (219, 182, 146, 109, 73, 36).
    // Indices of texels 0..7: 0,1,2,3,4,5,6,7; texels 8..15: 0. Colour: c0 = c1 = green.
    std::uint8_t block[16] = {255, 0, 0x88, 0xC6, 0xFA, 0, 0, 0, 0xE0, 0x07, 0xE0, 0x07, 0, 0, 0, 0};
    std::uint32_t texels[16];
    DecodeDxtBlock(D3DFMT_DXT5, block, texels);
    const std::uint32_t alphas[8] = {255, 0, 219, 182, 146, 109, 73, 36};
    for (int i = 0; i < 8; ++i) EXPECT_EQ((alphas[i] << 24) | 0x00FF00u, texels[i]) << i;
    EXPECT_EQ(0xFF00FF00u, texels[8]);

    // a0 = 0 <= a1 = 255: four steps of a fifth, then 0 and 255.
    block[0] = 0;
    block[1] = 255;
    DecodeDxtBlock(D3DFMT_DXT5, block, texels);
    const std::uint32_t six[8] = {0, 255, 51, 102, 153, 204, 0, 255};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(six[i], texels[i] >> 24) << i;
}

TEST(DxtDecode, Dxt3AlphaIsFourBitsPerTexel) {
    std::uint8_t block[16] = {0x10, 0xF8, 0, 0, 0, 0, 0, 0, 0x00, 0xF8, 0x00, 0xF8, 0, 0, 0, 0};
    std::uint32_t texels[16];
    DecodeDxtBlock(D3DFMT_DXT3, block, texels);
    EXPECT_EQ(0x00FF0000u, texels[0]);  // nibble 0
    EXPECT_EQ(0x11FF0000u, texels[1]);  // nibble 1: 17
    EXPECT_EQ(0x88FF0000u, texels[2]);  // nibble 8: 136
    EXPECT_EQ(0xFFFF0000u, texels[3]);
}

}  // namespace
}  // namespace device_common
