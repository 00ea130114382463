#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "utilities/d3dx_texture.h"
#include "utilities/dxt_codec.h"
#include "utilities/format_table.h"
#include "utilities/image_filter.h"
#include "utilities/pixel_codec.h"

namespace {

using utilities::ByteImage;

std::vector<D3DCOLOR> Unpack(D3DFORMAT format, const std::vector<BYTE>& bytes, UINT width, UINT height = 1) {
    std::vector<D3DCOLOR> out(width * height);
    const UINT pitch = utilities::StoredRowBytes(format, width);
    utilities::UnpackToArgb({format, bytes.data(), pitch, width, height}, nullptr, out.data());
    return out;
}

std::vector<BYTE> Pack(D3DFORMAT format, const std::vector<D3DCOLOR>& argb, UINT width = 1, UINT height = 1) {
    const UINT pitch = utilities::StoredRowBytes(format, width);
    std::vector<BYTE> out(pitch * utilities::StoredRows(format, height));
    utilities::PackFromArgb(argb.data(), width, height, format, out.data(), pitch);
    return out;
}

TEST(PixelCodec, PackedFormatsScaleTheirFields) {
    // R5G6B5: full fields become 255, and 255 becomes full fields.
    EXPECT_EQ(Unpack(D3DFMT_R5G6B5, {0x00, 0xF8}, 1)[0], 0xFFFF0000u);
    EXPECT_EQ(Unpack(D3DFMT_R5G6B5, {0xE0, 0x07}, 1)[0], 0xFF00FF00u);
    EXPECT_EQ(Pack(D3DFMT_R5G6B5, {0xFF0000FFu}), (std::vector<BYTE>{0x1F, 0x00}));
    // A 4-bit 8 reads as 8 × 17 = 136.
    EXPECT_EQ(Unpack(D3DFMT_A4R4G4B4, {0x88, 0xF8}, 1)[0], D3DCOLOR_ARGB(255, 136, 136, 136));
    // X bits are written as ones; alpha is read as opaque from a format without it.
    EXPECT_EQ(Pack(D3DFMT_X8R8G8B8, {0x00123456u}), (std::vector<BYTE>{0x56, 0x34, 0x12, 0xFF}));
    EXPECT_EQ(Unpack(D3DFMT_X8R8G8B8, {0x56, 0x34, 0x12, 0x00}, 1)[0], 0xFF123456u);
    EXPECT_EQ(Unpack(D3DFMT_A8B8G8R8, {1, 2, 3, 4}, 1)[0], D3DCOLOR_ARGB(4, 1, 2, 3));
    EXPECT_EQ(Pack(D3DFMT_A2R10G10B10, {0xFFFFFFFFu}), (std::vector<BYTE>{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(PixelCodec, LuminanceAndWideFormats) {
    EXPECT_EQ(Unpack(D3DFMT_L8, {77}, 1)[0], D3DCOLOR_ARGB(255, 77, 77, 77));
    EXPECT_EQ(Unpack(D3DFMT_A8L8, {77, 9}, 1)[0], D3DCOLOR_ARGB(9, 77, 77, 77));
    // Weighted 0.299, 0.587, 0.114: pure green is brighter than pure red, grey stays itself.
    EXPECT_EQ(Pack(D3DFMT_L8, {0xFF00FF00u, 0xFFFF0000u, 0xFF0000FFu, 0xFF404040u}, 4),
              (std::vector<BYTE>{150, 76, 29, 0x40}));
    EXPECT_EQ(Unpack(D3DFMT_L16, {0xFF, 0xFF}, 1)[0], 0xFFFFFFFFu);
    EXPECT_EQ(Unpack(utilities::kFormatAL16, {0x00, 0x80, 0xFF, 0xFF}, 1)[0], D3DCOLOR_ARGB(255, 128, 128, 128));
    // A16B16G16R16 stores red first; the private " R16" stores blue first.
    EXPECT_EQ(Unpack(D3DFMT_A16B16G16R16, {0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF}, 1)[0], 0xFFFF0000u);
    EXPECT_EQ(Unpack(utilities::kFormatR16, {0xFF, 0xFF, 0, 0, 0, 0}, 1)[0], 0xFF0000FFu);
    EXPECT_EQ(Pack(D3DFMT_A16B16G16R16, {0x80FF0000u}), (std::vector<BYTE>{0xFF, 0xFF, 0, 0, 0, 0, 0x80, 0x80}));
}

TEST(PixelCodec, PaletteLookups) {
    utilities::PaletteColour palette[256] = {};
    palette[3] = {10, 20, 30, 40};
    D3DCOLOR out[2];
    const BYTE indices[] = {3, 0};
    utilities::UnpackToArgb({D3DFMT_P8, indices, 2, 2, 1}, palette, out);
    EXPECT_EQ(out[0], D3DCOLOR_ARGB(40, 10, 20, 30));
    const BYTE withAlpha[] = {3, 200};
    utilities::UnpackToArgb({D3DFMT_A8P8, withAlpha, 2, 1, 1}, palette, out);
    EXPECT_EQ(out[0], D3DCOLOR_ARGB(200, 10, 20, 30));
}

TEST(DxtCodec, DecodesAHandMadeDxt5Block) {
    D3DCOLOR texels[16];
    // DXT5: alpha 255 and 0 with eight steps; colour red over blue in four-colour mode.
    const BYTE dxt5[16] = {255, 0, 0b10001000, 0, 0, 0, 0, 0, 0x00, 0xF8, 0x1F, 0x00, 0xE4, 0xE4, 0xE4, 0xE4};
    utilities::DecodeDxtBlock(D3DFMT_DXT5, dxt5, texels);
    EXPECT_EQ(texels[0], 0xFFFF0000u);                     // alpha index 0, colour index 0
    EXPECT_EQ(texels[1] >> 24, 0u);                        // alpha index 1
    EXPECT_EQ(texels[2], D3DCOLOR_ARGB(219, 170, 0, 85));  // alpha (6·255 + 0) / 7, colour 2/3 red
    EXPECT_EQ(texels[3] & 0xFFFFFF, 0x5500AAu);
}

TEST(DxtCodec, EncodingKeepsWhatTheBlockCanHold) {
    for (D3DFORMAT format : {D3DFMT_DXT1, D3DFMT_DXT2, D3DFMT_DXT3, D3DFMT_DXT4, D3DFMT_DXT5}) {
        // A red-to-blue ramp lies on one line, which four block colours cover exactly.
        D3DCOLOR texels[16];
        const D3DCOLOR ramp[4] = {0xFFFF0000u, D3DCOLOR_ARGB(255, 170, 0, 85), D3DCOLOR_ARGB(255, 85, 0, 170),
                                  0xFF0000FFu};
        for (int i = 0; i < 16; ++i) texels[i] = ramp[i % 4];
        BYTE block[16];
        utilities::EncodeDxtBlock(format, texels, block);
        D3DCOLOR decoded[16];
        utilities::DecodeDxtBlock(format, block, decoded);
        for (int i = 0; i < 16; ++i) {
            for (int shift : {0, 8, 16, 24})
                EXPECT_NEAR(int((decoded[i] >> shift) & 0xFF), int((texels[i] >> shift) & 0xFF), 2)
                    << "format " << format << " texel " << i << " shift " << shift;
        }
    }
    // DXT1 keeps transparency as its fourth colour.
    D3DCOLOR texels[16];
    for (int i = 0; i < 16; ++i) texels[i] = i < 8 ? 0x00000000u : 0xFF00FF00u;
    BYTE block[8];
    utilities::EncodeDxtBlock(D3DFMT_DXT1, texels, block);
    D3DCOLOR decoded[16];
    utilities::DecodeDxtBlock(D3DFMT_DXT1, block, decoded);
    EXPECT_EQ(decoded[0], 0u);
    EXPECT_EQ(decoded[15], 0xFF00FF00u);
}

ByteImage Image(UINT width, UINT height, UINT channels, std::vector<BYTE> bytes) {
    ByteImage image(width, height, channels, false);
    image.bytes = std::move(bytes);
    return image;
}

TEST(ImageFilter, BoxHalvingRoundsPerByte) {
    // (1 + 2 + 3 + 5 + 2) / 4 = 3; (0 + 0 + 0 + 1 + 2) / 4 = 0; (255 × 3 + 254 + 2) / 4 = 255.
    const ByteImage source = Image(2, 2, 2, {1, 0, 2, 0, 3, 0, 5, 1});
    const ByteImage half = utilities::BoxHalve(source);
    EXPECT_EQ(half.width, 1u);
    EXPECT_EQ(half.bytes, (std::vector<BYTE>{3, 0}));
    EXPECT_EQ(utilities::BoxHalve(Image(2, 2, 1, {255, 255, 255, 254})).bytes, (std::vector<BYTE>{255}));
    // A single column halves down its rows only.
    const ByteImage column = utilities::BoxHalve(Image(1, 4, 1, {10, 20, 30, 50}));
    EXPECT_EQ(column.width, 1u);
    EXPECT_EQ(column.bytes, (std::vector<BYTE>{15, 40}));
}

TEST(ImageFilter, WideFourByteRowsHalveExactlyToTheirEdge) {
    // Four-byte texels go four at a time through a wide path, and the two texels past the last
    // whole group one by one. Every byte must be (sum + 2) / 4 on both paths.
    constexpr UINT kWidth = 21, kHeight = 4;
    std::vector<BYTE> bytes(kWidth * kHeight * 4);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = BYTE((i * 73 + i / 7 * 29) % 256);
    const ByteImage half = utilities::BoxHalve(Image(kWidth, kHeight, 4, bytes));
    ASSERT_EQ(half.width, 10u);
    ASSERT_EQ(half.height, 2u);
    auto at = [&](UINT x, UINT y, UINT c) { return int(bytes[(y * kWidth + std::min(x, kWidth - 1)) * 4 + c]); };
    for (UINT y = 0; y < half.height; ++y)
        for (UINT x = 0; x < half.width; ++x)
            for (UINT c = 0; c < 4; ++c) {
                const int sum = at(2 * x, 2 * y, c) + at(2 * x + 1, 2 * y, c) + at(2 * x, 2 * y + 1, c) +
                                at(2 * x + 1, 2 * y + 1, c);
                ASSERT_EQ(half.Row(y)[x * 4 + c], (sum + 2) / 4) << x << "," << y << " byte " << c;
            }
}

TEST(ImageFilter, ResamplingKeepsRampsAndFlatAreas) {
    // A horizontal ramp 0, 10, …, 190 over 20 texels stretched to 32: monotonic, ends near the
    // source's ends, and a flat image stays flat whatever the filter.
    std::vector<BYTE> ramp;
    for (int i = 0; i < 20; ++i) ramp.push_back(BYTE(i * 10));
    for (DWORD filter : {D3DX_FILTER_POINT, D3DX_FILTER_LINEAR, D3DX_FILTER_TRIANGLE, D3DX_FILTER_BOX}) {
        const ByteImage wide = utilities::Resample(Image(20, 1, 1, ramp), 32, 2, filter);
        ASSERT_EQ(wide.bytes.size(), 64u);
        for (UINT x = 1; x < 32; ++x) EXPECT_GE(wide.bytes[x], wide.bytes[x - 1]) << filter << " at " << x;
        EXPECT_LE(wide.bytes[0], 10) << filter;
        EXPECT_GE(wide.bytes[31], 180) << filter;
        EXPECT_EQ(wide.bytes[32 + 17], wide.bytes[17]) << "rows of a one-row source are equal";
        const ByteImage flat = utilities::Resample(Image(3, 5, 2, std::vector<BYTE>(30, 99)), 7, 2, filter);
        for (BYTE b : flat.bytes) ASSERT_EQ(b, 99) << filter;
    }
    // The triangle filter at texel centres: texel x of 32 sits at (x + 0.5) × 20 / 32 − 0.5.
    const ByteImage tri = utilities::Resample(Image(20, 1, 1, ramp), 32, 1, D3DX_FILTER_TRIANGLE);
    EXPECT_NEAR(tri.bytes[16], 98, 1);  // centre 9.84 → 98.4 on the ramp
}

TEST(ImageFilter, EqualSizesCopyAndNoneCopiesTheCorner) {
    const ByteImage source = Image(2, 2, 1, {1, 2, 3, 4});
    EXPECT_EQ(utilities::Resample(source, 2, 2, D3DX_FILTER_TRIANGLE).bytes, source.bytes);
    EXPECT_EQ(utilities::Resample(source, 3, 1, D3DX_FILTER_NONE).bytes, (std::vector<BYTE>{1, 2, 0}));
    ByteImage indices(2, 2, 1, true);
    indices.bytes = {7, 9, 11, 13};
    // Indices are never averaged.
    const ByteImage shrunk = utilities::Resample(indices, 1, 1, D3DX_FILTER_TRIANGLE);
    EXPECT_TRUE(shrunk.bytes[0] == 7 || shrunk.bytes[0] == 9 || shrunk.bytes[0] == 11 || shrunk.bytes[0] == 13);
    EXPECT_EQ(utilities::BoxHalve(indices).bytes.size(), 1u);
}

}  // namespace
