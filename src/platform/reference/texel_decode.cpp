#include "platform/reference/texel_decode.h"

#include <cstring>

#include "platform/reference/formats.h"

namespace reference {
namespace {

constexpr std::uint32_t Pack(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

std::uint32_t ReadLittle16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }

struct Rgb {
    std::uint32_t r, g, b;
};

Rgb Expand565(std::uint32_t c) {
    std::uint32_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return {(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
}

// Weighted mean of two channel values, rounded to nearest: (wa * a + wb * b) / (wa + wb).
std::uint32_t Mix(std::uint32_t a, std::uint32_t b, std::uint32_t wa, std::uint32_t wb) {
    std::uint32_t total = wa + wb;
    return (wa * a + wb * b + total / 2) / total;
}

// The colour half of every DXT block. DXT1 may switch to three colours and transparent black;
// the other formats always use the four-colour palette, their alpha comes from elsewhere.
void DecodeColourBlock(const std::uint8_t* block, bool allowThreeColour, std::uint32_t texels[16]) {
    std::uint32_t c0 = ReadLittle16(block), c1 = ReadLittle16(block + 2);
    Rgb e0 = Expand565(c0), e1 = Expand565(c1);
    std::uint32_t palette[4];
    palette[0] = Pack(255, e0.r, e0.g, e0.b);
    palette[1] = Pack(255, e1.r, e1.g, e1.b);
    if (c0 > c1 || !allowThreeColour) {
        palette[2] = Pack(255, Mix(e0.r, e1.r, 2, 1), Mix(e0.g, e1.g, 2, 1), Mix(e0.b, e1.b, 2, 1));
        palette[3] = Pack(255, Mix(e0.r, e1.r, 1, 2), Mix(e0.g, e1.g, 1, 2), Mix(e0.b, e1.b, 1, 2));
    } else {
        palette[2] = Pack(255, Mix(e0.r, e1.r, 1, 1), Mix(e0.g, e1.g, 1, 1), Mix(e0.b, e1.b, 1, 1));
        palette[3] = 0;
    }
    std::uint32_t indices = block[4] | (block[5] << 8) | (block[6] << 16) | (static_cast<std::uint32_t>(block[7]) << 24);
    for (int i = 0; i < 16; ++i) texels[i] = palette[(indices >> (2 * i)) & 3];
}

void ApplyExplicitAlpha(const std::uint8_t* alphaBlock, std::uint32_t texels[16]) {
    for (int i = 0; i < 16; ++i) {
        std::uint32_t nibble = (alphaBlock[i / 2] >> (4 * (i & 1))) & 15;
        texels[i] = (texels[i] & 0x00FFFFFFu) | ((nibble * 17) << 24);
    }
}

void ApplyInterpolatedAlpha(const std::uint8_t* alphaBlock, std::uint32_t texels[16]) {
    std::uint32_t a0 = alphaBlock[0], a1 = alphaBlock[1];
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
        std::uint32_t alpha = palette[(indices >> (3 * i)) & 7];
        texels[i] = (texels[i] & 0x00FFFFFFu) | (alpha << 24);
    }
}

void DecodeBlocks(D3DFORMAT format, const std::uint8_t* bytes, UINT pitch, UINT width, UINT height,
                  std::uint32_t* out) {
    UINT blockBytes = LayoutOf(format).bytesPerUnit;
    for (UINT by = 0; by < (height + 3) / 4; ++by) {
        for (UINT bx = 0; bx < (width + 3) / 4; ++bx) {
            std::uint32_t texels[16];
            DecodeDxtBlock(format, bytes + by * pitch + bx * blockBytes, texels);
            for (UINT y = 0; y < 4 && by * 4 + y < height; ++y)
                for (UINT x = 0; x < 4 && bx * 4 + x < width; ++x)
                    out[(by * 4 + y) * width + bx * 4 + x] = texels[y * 4 + x];
        }
    }
}

}  // namespace

void DecodeDxtBlock(D3DFORMAT format, const std::uint8_t* block, std::uint32_t texels[16]) {
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

void DecodeLevel(D3DFORMAT format, const std::uint8_t* bytes, UINT pitch, UINT width, UINT height,
                 std::uint32_t* out) {
    if (LayoutOf(format).blockCompressed) {
        DecodeBlocks(format, bytes, pitch, width, height, out);
        return;
    }
    for (UINT y = 0; y < height; ++y) {
        const std::uint8_t* row = bytes + static_cast<std::size_t>(y) * pitch;
        std::uint32_t* target = out + static_cast<std::size_t>(y) * width;
        switch (format) {
            case D3DFMT_A8R8G8B8:
                std::memcpy(target, row, width * 4u);
                break;
            case D3DFMT_X8R8G8B8:
                std::memcpy(target, row, width * 4u);
                for (UINT x = 0; x < width; ++x) target[x] |= 0xFF000000u;
                break;
            case D3DFMT_L8:
                for (UINT x = 0; x < width; ++x) target[x] = Pack(255, row[x], row[x], row[x]);
                break;
            case D3DFMT_A8L8:
                for (UINT x = 0; x < width; ++x) {
                    std::uint32_t l = row[2 * x], a = row[2 * x + 1];
                    target[x] = Pack(a, l, l, l);
                }
                break;
            default:
                break;
        }
    }
}

}  // namespace reference
