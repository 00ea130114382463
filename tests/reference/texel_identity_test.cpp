// Texture identity for pass pairing: two textures count as the same only when their texels are,
// whatever their hashes say, and a texture's new texels are never answered with an old answer.
#include "platform/reference/texel_identity.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace reference::testing {
namespace {

// A one-level texture of `texels` (width x 1), stamped as freshly written.
SampledTexture Stamped(const std::vector<std::uint32_t>& texels, int width) {
    SampledTexture texture{};
    texture.texels = texels.data();
    texture.levelCount = 1;
    texture.width[0] = width;
    texture.height[0] = static_cast<int>(texels.size()) / width;
    texture.texelCount = texels.size();
    StampTexels(texture);
    return texture;
}

TEST(TexelComparisons, TexturesWithEqualTexelsAreTheSame) {
    const std::vector<std::uint32_t> a(64, 0x80123456u), b = a;
    SampledTexture first = Stamped(a, 8), second = Stamped(b, 8);
    EXPECT_NE(first.version, second.version);
    TexelComparisons comparisons;
    EXPECT_TRUE(comparisons.SameTexels(&first, &second));
    EXPECT_TRUE(comparisons.SameTexels(&second, &first));
    EXPECT_TRUE(comparisons.SameTexels(&first, &first));
    EXPECT_FALSE(comparisons.SameTexels(&first, nullptr));
}

TEST(TexelComparisons, EqualHashesOfDifferentTexelsAreNotTrusted) {
    std::vector<std::uint32_t> a(64, 0x80123456u), b = a;
    b[37] ^= 1;
    SampledTexture first = Stamped(a, 8), second = Stamped(b, 8);
    EXPECT_NE(first.hash, second.hash);
    second.hash = first.hash;  // as if the hash collided
    TexelComparisons comparisons;
    EXPECT_FALSE(comparisons.SameTexels(&first, &second));
    EXPECT_FALSE(comparisons.SameTexels(&first, &second)) << "the kept answer";
    // The same texels laid out as another shape are another texture.
    SampledTexture tall = Stamped(a, 4);
    tall.hash = first.hash;
    EXPECT_FALSE(comparisons.SameTexels(&first, &tall));
}

TEST(TexelComparisons, NewTexelsAreComparedAgain) {
    std::vector<std::uint32_t> a(64, 7u), b = a;
    SampledTexture first = Stamped(a, 8), second = Stamped(b, 8);
    TexelComparisons comparisons;
    ASSERT_TRUE(comparisons.SameTexels(&first, &second));
    b[0] = 8;
    StampTexels(second);
    EXPECT_FALSE(comparisons.SameTexels(&first, &second));
    b[0] = 7;
    StampTexels(second);
    EXPECT_TRUE(comparisons.SameTexels(&first, &second));
    // More pairs than the answers kept: the oldest are compared again, the same way.
    std::vector<std::vector<std::uint32_t>> copies(6, a);
    std::vector<SampledTexture> textures;
    for (const auto& copy : copies) textures.push_back(Stamped(copy, 8));
    for (int round = 0; round < 2; ++round)
        for (const SampledTexture& copy : textures) EXPECT_TRUE(comparisons.SameTexels(&first, &copy));
}

TEST(TexelHash, EveryTexelCounts) {
    std::vector<std::uint32_t> texels(37, 0x12345678u);
    const std::uint64_t whole = HashTexels(texels.data(), texels.size());
    for (std::size_t i = 0; i < texels.size(); ++i) {
        texels[i] ^= 0x100u;
        EXPECT_NE(whole, HashTexels(texels.data(), texels.size())) << "texel " << i;
        texels[i] ^= 0x100u;
    }
    EXPECT_NE(whole, HashTexels(texels.data(), texels.size() - 1));
}

}  // namespace
}  // namespace reference::testing
