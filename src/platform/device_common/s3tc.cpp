#include "platform/device_common/s3tc.h"

namespace device_common {
namespace {

constexpr std::uint32_t Pack(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

std::uint32_t ReadLittle16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }

struct Rgb {
    std::uint32_t r, g, b;
};

Rgb Expand565(std::uint32_t c) {
    const std::uint32_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return {(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
}

// Weighted mean of two channel values, rounded to nearest: (wa * a + wb * b) / (wa + wb).
std::uint32_t Mix(std::uint32_t a, std::uint32_t b, std::uint32_t wa, std::uint32_t wb) {
    const std::uint32_t total = wa + wb;
    return (wa * a + wb * b + total / 2) / total;
}

std::uint32_t MixRgb(const Rgb& a, const Rgb& b, std::uint32_t wa, std::uint32_t wb) {
    return Pack(255, Mix(a.r, b.r, wa, wb), Mix(a.g, b.g, wa, wb), Mix(a.b, b.b, wa, wb));
}

// The colour half of every DXT block. DXT1 may switch to three colours and transparent black;
// the other formats always use the four-colour palette, their alpha comes from elsewhere.
void DecodeColourBlock(const std::uint8_t* block, bool allowThreeColour, std::uint32_t texels[16]) {
    const std::uint32_t c0 = ReadLittle16(block), c1 = ReadLittle16(block + 2);
    const Rgb e0 = Expand565(c0), e1 = Expand565(c1);
    std::uint32_t palette[4] = {Pack(255, e0.r, e0.g, e0.b), Pack(255, e1.r, e1.g, e1.b)};
    if (c0 > c1 || !allowThreeColour) {
        palette[2] = MixRgb(e0, e1, 2, 1);
        palette[3] = MixRgb(e0, e1, 1, 2);
    } else {
        palette[2] = MixRgb(e0, e1, 1, 1);
        palette[3] = 0;
    }
    const std::uint32_t indices =
        block[4] | (block[5] << 8) | (block[6] << 16) | (static_cast<std::uint32_t>(block[7]) << 24);
    for (int i = 0; i < 16; ++i) texels[i] = palette[(indices >> (2 * i)) & 3];
}

void ApplyExplicitAlpha(const std::uint8_t* alphaBlock, std::uint32_t texels[16]) {
    for (int i = 0; i < 16; ++i) {
        const std::uint32_t nibble = (alphaBlock[i / 2] >> (4 * (i & 1))) & 15;
        texels[i] = (texels[i] & 0x00FFFFFFu) | ((nibble * 17) << 24);
    }
}

void ApplyInterpolatedAlpha(const std::uint8_t* alphaBlock, std::uint32_t texels[16]) {
    const std::uint32_t a0 = alphaBlock[0], a1 = alphaBlock[1];
    std::uint32_t palette[8] = {a0, a1};
    if (a0 > a1) {
        for (std::uint32_t k = 1; k <= 6; ++k) palette[k + 1] = Mix(a0, a1, 7 - k, k);
    } else {
        for (std::uint32_t k = 1; k <= 4; ++k) palette[k + 1] = Mix(a0, a1, 5 - k, k);
        palette[6] = 0;
        palette[7] = 255;
    }
    std::uint64_t indices = 0;
    for (int i = 0; i < 6; ++i) indices |= static_cast<std::uint64_t>(alphaBlock[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i) {
        const std::uint32_t alpha = palette[(indices >> (3 * i)) & 7];
        texels[i] = (texels[i] & 0x00FFFFFFu) | (alpha << 24);
    }
}

}  // namespace

void DecodeDxtBlock(D3DFORMAT format, const std::uint8_t* block, std::uint32_t texels[kTexelsPerBlock]) {
    if (format == D3DFMT_DXT1) {
        DecodeColourBlock(block, true, texels);
        return;
    }
    DecodeColourBlock(block + 8, false, texels);
    if (format == D3DFMT_DXT2 || format == D3DFMT_DXT3)
        ApplyExplicitAlpha(block, texels);
    else
        ApplyInterpolatedAlpha(block, texels);
}

}  // namespace device_common
