#pragma once
// How the pixel kernels see a texture: every level decoded to 32-bit A8R8G8B8 texels, all
// levels in one block (so that one base address and a per-level offset reach any texel), with
// power-of-two sizes so that wrapping is a mask.

#include <cstddef>
#include <cstdint>

namespace reference {

constexpr int kMaxLevels = 13;  // 4096 down to 1

struct SampledTexture {
    const std::uint32_t* texels;
    int levelCount;
    int offset[kMaxLevels];  // first texel of each level
    int width[kMaxLevels];
    int height[kMaxLevels];
    int widthLog2[kMaxLevels];
    std::size_t texelCount;  // of all levels
    // Which texels these are (see texel_identity.h): a new version each time they change, and
    // their hash.
    std::uint64_t version;
    std::uint64_t hash;
};

}  // namespace reference
