#include <gtest/gtest.h>
#include <png.h>

#include "support/image_writers.h"
#include "utilities/decoded_image.h"
#include "utilities/format_table.h"
#include "utilities/image_decoders.h"

namespace {

using testimages::Bytes;
using testimages::EncodePng;
using utilities::DecodedImage;

DecodedImage Decode(const Bytes& file) {
    DecodedImage image;
    EXPECT_EQ(utilities::LoadImageFromMemory(&image, file.data(), static_cast<UINT>(file.size()), nullptr, true), S_OK);
    return image;
}

Bytes Level0(const DecodedImage& image) {
    const utilities::ImageLevel& level = image.Top();
    return Bytes(level.pixels, level.pixels + level.slicePitch);
}

TEST(DecodePng, RgbBecomesX8R8G8B8WithFiller) {
    testimages::PngPicture picture;
    picture.width = 2;
    picture.samples = {10, 20, 30, 200, 100, 50};
    const DecodedImage image = Decode(EncodePng(picture));
    EXPECT_EQ(image.fileType, D3DXIFF_PNG);
    EXPECT_EQ(image.Top().format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(image.Top().rowPitch, 8u);
    EXPECT_EQ(Level0(image), (Bytes{30, 20, 10, 255, 50, 100, 200, 255}));
}

TEST(DecodePng, AlphaAndGreyFormats) {
    testimages::PngPicture rgba;
    rgba.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    rgba.samples = {1, 2, 3, 4};
    DecodedImage image = Decode(EncodePng(rgba));
    EXPECT_EQ(image.Top().format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(Level0(image), (Bytes{3, 2, 1, 4}));

    testimages::PngPicture grey;
    grey.colourType = PNG_COLOR_TYPE_GRAY;
    grey.width = 3;
    grey.samples = {0, 77, 255};
    image = Decode(EncodePng(grey));
    EXPECT_EQ(image.Top().format, D3DFMT_L8);
    EXPECT_EQ(Level0(image), (Bytes{0, 77, 255}));

    testimages::PngPicture greyAlpha;
    greyAlpha.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    greyAlpha.samples = {90, 33};
    image = Decode(EncodePng(greyAlpha));
    EXPECT_EQ(image.Top().format, D3DFMT_A8L8);
    EXPECT_EQ(Level0(image), (Bytes{90, 33}));
}

TEST(DecodePng, LowBitGreyIsExpandedToBytes) {
    testimages::PngPicture grey;
    grey.colourType = PNG_COLOR_TYPE_GRAY;
    grey.bitDepth = 2;
    grey.width = 4;
    grey.samples = {0b00011011};  // 0, 1, 2, 3
    const DecodedImage image = Decode(EncodePng(grey));
    EXPECT_EQ(image.Top().format, D3DFMT_L8);
    EXPECT_EQ(Level0(image), (Bytes{0, 85, 170, 255}));
}

TEST(DecodePng, TransparencyChunkAddsAnAlphaChannel) {
    testimages::PngPicture rgb;
    rgb.width = 2;
    rgb.samples = {10, 20, 30, 40, 50, 60};
    rgb.greyTransparency = true;
    rgb.transparentRgb[0] = 40;
    rgb.transparentRgb[1] = 50;
    rgb.transparentRgb[2] = 60;
    DecodedImage image = Decode(EncodePng(rgb));
    EXPECT_EQ(image.Top().format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(Level0(image), (Bytes{30, 20, 10, 255, 60, 50, 40, 0}));

    testimages::PngPicture grey;
    grey.colourType = PNG_COLOR_TYPE_GRAY;
    grey.width = 2;
    grey.samples = {7, 9};
    grey.greyTransparency = true;
    grey.transparentGrey = 9;
    image = Decode(EncodePng(grey));
    EXPECT_EQ(image.Top().format, D3DFMT_A8L8);
    EXPECT_EQ(Level0(image), (Bytes{7, 255, 9, 0}));
}

TEST(DecodePng, PaletteOfSixteenWithFourAlphas) {
    testimages::PngPicture picture;
    picture.colourType = PNG_COLOR_TYPE_PALETTE;
    picture.bitDepth = 4;
    picture.width = 4;
    for (int i = 0; i < 16; ++i)
        picture.paletteRgb.insert(picture.paletteRgb.end(), {BYTE(i), BYTE(i * 2), BYTE(i * 3)});
    picture.transparency = {0, 50, 100, 150};
    picture.samples = {0x01, 0xEF};  // indices 0, 1, 14, 15
    const DecodedImage image = Decode(EncodePng(picture));
    EXPECT_EQ(image.Top().format, D3DFMT_P8);
    EXPECT_EQ(Level0(image), (Bytes{0, 1, 14, 15}));
    ASSERT_NE(image.palette, nullptr);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(image.palette[i].a, picture.transparency[i]) << i;
    for (int i = 4; i < 16; ++i) {
        EXPECT_EQ(image.palette[i].a, 255) << i;
        EXPECT_EQ(image.palette[i].r, i);
        EXPECT_EQ(image.palette[i].g, i * 2);
        EXPECT_EQ(image.palette[i].b, i * 3);
    }
    for (int i = 16; i < 256; ++i) {
        const utilities::PaletteColour& entry = image.palette[i];
        EXPECT_TRUE(entry.r == 255 && entry.g == 255 && entry.b == 255 && entry.a == 255) << i;
    }
}

TEST(DecodePng, PaletteColoursFollowTheFileGamma) {
    // A file gamma of 1.0 shown on a 2.2 display: 128 becomes 255 × (128/255)^(1/2.2) ≈ 186.
    testimages::PngPicture picture;
    picture.colourType = PNG_COLOR_TYPE_PALETTE;
    picture.paletteRgb = {128, 0, 255};
    picture.samples = {0};
    picture.gamma = 1.0;
    const DecodedImage image = Decode(EncodePng(picture));
    EXPECT_EQ(image.palette[0].r, 186);
    EXPECT_EQ(image.palette[0].g, 0);
    EXPECT_EQ(image.palette[0].b, 255);
}

TEST(DecodePng, SixteenBitSamplesBecomeLittleEndian) {
    testimages::PngPicture rgb;
    rgb.bitDepth = 16;
    rgb.samples = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};  // R 0x1234, G 0x5678, B 0x9ABC
    DecodedImage image = Decode(EncodePng(rgb));
    EXPECT_EQ(image.Top().format, utilities::kFormatR16);
    EXPECT_EQ(Level0(image), (Bytes{0xBC, 0x9A, 0x78, 0x56, 0x34, 0x12}));

    D3DXIMAGE_INFO info{};
    const Bytes file = EncodePng(rgb);
    ASSERT_EQ(utilities::LoadImageFromMemory(&image, file.data(), UINT(file.size()), &info, false), S_OK);
    EXPECT_EQ(info.Format, D3DFMT_R8G8B8) << "the private format is reported as its public neighbour";

    // With alpha, the samples keep the R, G, B, A order that A16B16G16R16 stores.
    testimages::PngPicture rgba = rgb;
    rgba.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    rgba.samples = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0};
    image = Decode(EncodePng(rgba));
    EXPECT_EQ(image.Top().format, D3DFMT_A16B16G16R16);
    EXPECT_EQ(Level0(image), (Bytes{0x34, 0x12, 0x78, 0x56, 0xBC, 0x9A, 0xF0, 0xDE}));

    testimages::PngPicture grey = rgb;
    grey.colourType = PNG_COLOR_TYPE_GRAY;
    grey.samples = {0xAB, 0xCD};
    image = Decode(EncodePng(grey));
    EXPECT_EQ(image.Top().format, D3DFMT_L16);
    EXPECT_EQ(Level0(image), (Bytes{0xCD, 0xAB}));

    grey.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    grey.samples = {0xAB, 0xCD, 0x01, 0x02};
    image = Decode(EncodePng(grey));
    EXPECT_EQ(image.Top().format, utilities::kFormatAL16);
}

TEST(DecodePng, InterlacedDecodesToTheSamePixels) {
    testimages::PngPicture picture;
    picture.width = 9;
    picture.height = 7;
    for (UINT i = 0; i < picture.width * picture.height * 3; ++i) picture.samples.push_back(BYTE(i * 37));
    const Bytes plain = Level0(Decode(EncodePng(picture)));
    picture.interlaced = true;
    EXPECT_EQ(Level0(Decode(EncodePng(picture))), plain);
}

TEST(DecodePng, RefusesWhatATextureCannotHoldOrWhatIsBroken) {
    DecodedImage image;
    // A 16-bit palette image, written by hand since libpng refuses to write one.
    Bytes palette16 = testimages::PngSignatureAndHeader(1, 1, 16, PNG_COLOR_TYPE_PALETTE);
    testimages::AppendPngChunk(palette16, "IEND", {});
    EXPECT_EQ(utilities::DecodePng(image, palette16.data(), UINT(palette16.size()), true), E_FAIL);
    EXPECT_EQ(utilities::LoadImageFromMemory(&image, palette16.data(), UINT(palette16.size()), nullptr, true),
              D3DXERR_INVALIDDATA);

    // Cut inside the image data.
    testimages::PngPicture picture;
    picture.width = picture.height = 64;
    for (UINT i = 0; i < 64 * 64 * 3; ++i) picture.samples.push_back(BYTE(i * 13 + i / 7));
    const Bytes whole = EncodePng(picture);
    EXPECT_EQ(utilities::DecodePng(image, whole.data(), UINT(whole.size() / 2), true), E_FAIL);

    // A header announcing 60000 × 60000 over a few dozen bytes is forged: refused before any
    // allocation of its size.
    Bytes huge = testimages::PngSignatureAndHeader(60000, 60000, 8, PNG_COLOR_TYPE_RGB_ALPHA);
    testimages::AppendPngChunk(huge, "IDAT", {0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
    testimages::AppendPngChunk(huge, "IEND", {});
    EXPECT_EQ(utilities::DecodePng(image, huge.data(), UINT(huge.size()), true), E_FAIL);

    // Only the signature.
    EXPECT_EQ(utilities::DecodePng(image, whole.data(), 8, true), E_FAIL);
}

}  // namespace
