#include <gtest/gtest.h>

#include <cstdlib>

#include "support/image_writers.h"
#include "utilities/decoded_image.h"
#include "utilities/image_decoders.h"

namespace {

using testimages::Bytes;
using utilities::DecodedImage;

Bytes Solid(UINT width, UINT height, std::initializer_list<BYTE> sample) {
    Bytes out;
    for (UINT i = 0; i < width * height; ++i) out.insert(out.end(), sample);
    return out;
}

TEST(DecodeJpeg, ColourBecomesX8R8G8B8WithAnEmptyTopByte) {
    const Bytes file = testimages::EncodeJpeg(16, 8, 3, Solid(16, 8, {200, 100, 50}));
    DecodedImage image;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(utilities::LoadImageFromMemory(&image, file.data(), UINT(file.size()), &info, true), S_OK);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_JPG);
    EXPECT_EQ(info.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(info.Width, 16u);
    EXPECT_EQ(info.Height, 8u);
    EXPECT_EQ(info.MipLevels, 1u);
    const utilities::ImageLevel& level = image.Top();
    EXPECT_EQ(level.rowPitch, 64u);
    for (UINT i = 0; i < 16 * 8; ++i) {
        const BYTE* texel = level.pixels + 4 * i;
        EXPECT_NEAR(texel[0], 50, 3);
        EXPECT_NEAR(texel[1], 100, 3);
        EXPECT_NEAR(texel[2], 200, 3);
        ASSERT_EQ(texel[3], 0) << "texel " << i;
    }
}

TEST(DecodeJpeg, GreyBecomesL8AndProgressiveFilesDecode) {
    Bytes ramp;
    for (UINT i = 0; i < 32 * 32; ++i) ramp.push_back(BYTE((i % 32) * 8));
    for (bool progressive : {false, true}) {
        const Bytes file = testimages::EncodeJpeg(32, 32, 1, ramp, 100, progressive);
        DecodedImage image;
        ASSERT_EQ(utilities::DecodeJpeg(image, file.data(), UINT(file.size()), true), S_OK);
        EXPECT_EQ(image.Top().format, D3DFMT_L8);
        EXPECT_EQ(image.Top().rowPitch, 32u);
        for (UINT i = 0; i < 32 * 32; ++i) ASSERT_NEAR(image.Top().pixels[i], ramp[i], 4) << i;
    }
}

TEST(DecodeJpeg, CmykIsRefused) {
    const Bytes file = testimages::EncodeJpeg(8, 8, 4, Solid(8, 8, {1, 2, 3, 4}));
    DecodedImage image;
    EXPECT_EQ(utilities::DecodeJpeg(image, file.data(), UINT(file.size()), true), E_FAIL);
    EXPECT_EQ(utilities::LoadImageFromMemory(&image, file.data(), UINT(file.size()), nullptr, true),
              D3DXERR_INVALIDDATA);
    EXPECT_TRUE(image.faces.empty());
}

TEST(DecodeJpeg, BrokenOrForgedFilesFailCleanly) {
    Bytes file = testimages::EncodeJpeg(16, 16, 3, Solid(16, 16, {9, 9, 9}));
    DecodedImage image;
    // Not starting with the start-of-image marker.
    Bytes shifted(file.begin() + 1, file.end());
    EXPECT_EQ(utilities::DecodeJpeg(image, shifted.data(), UINT(shifted.size()), true), E_FAIL);
    // Cut inside the header.
    EXPECT_EQ(utilities::DecodeJpeg(image, file.data(), 40, true), E_FAIL);
    // The frame header patched to 60000 × 60000: far more pixels than the bytes could encode.
    for (std::size_t i = 0; i + 8 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            file[i + 5] = 0xEA;
            file[i + 6] = 0x60;
            file[i + 7] = 0xEA;
            file[i + 8] = 0x60;
            break;
        }
    }
    EXPECT_EQ(utilities::DecodeJpeg(image, file.data(), UINT(file.size()), true), E_FAIL);
}

}  // namespace
