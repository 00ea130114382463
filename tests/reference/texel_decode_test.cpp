// Levels of every format become the samplers' A8R8G8B8 texels.
#include "platform/reference/texel_decode.h"

#include <gtest/gtest.h>

namespace reference {
namespace {

TEST(TexelDecode, SmallLevelsDecodeOnlyTheirTexels) {
    const std::uint8_t block[8] = {0xFF, 0xFF, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00};  // texel 1 black
    std::uint32_t texels[2 * 2] = {1, 1, 1, 1};
    DecodeLevel(D3DFMT_DXT1, block, 8, 2, 2, texels);
    EXPECT_EQ(0xFFFFFFFFu, texels[0]);
    EXPECT_EQ(0xFF000000u, texels[1]);
    EXPECT_EQ(0xFFFFFFFFu, texels[2]);
}

}  // namespace
}  // namespace reference
