#include <gtest/gtest.h>

#include <clocale>
#include <random>
#include <string>

#include "support/image_writers.h"
#include "utilities/decoded_image.h"

namespace {

using testimages::Bytes;
using testimages::EncodePng;
using utilities::DecodedImage;
using utilities::LoadImageFromMemory;

TEST(LoadImage, ArgumentsAndTheShortcut) {
    DecodedImage image;
    const BYTE byte = 0;
    EXPECT_EQ(LoadImageFromMemory(&image, nullptr, 10, nullptr, true), D3DERR_INVALIDCALL);
    EXPECT_EQ(LoadImageFromMemory(&image, &byte, 0, nullptr, true), D3DERR_INVALIDCALL);
    // Nothing asked: nothing decoded, even from bytes that are no image.
    EXPECT_EQ(LoadImageFromMemory(&image, &byte, 1, nullptr, false), S_OK);
}

TEST(LoadImage, RandomBytesAreNoImage) {
    std::mt19937 random(1234);
    Bytes noise(4096);
    for (BYTE& b : noise) b = BYTE(random());
    DecodedImage image;
    D3DXIMAGE_INFO info{};
    info.Width = 77;
    EXPECT_EQ(LoadImageFromMemory(&image, noise.data(), UINT(noise.size()), &info, true), D3DXERR_INVALIDDATA);
    EXPECT_TRUE(image.faces.empty());
    EXPECT_EQ(image.ownedPixels, nullptr);
    EXPECT_EQ(info.Width, 77u) << "the information is left alone on failure";
}

TEST(LoadImage, HeaderOnlyReadGivesTheFacts) {
    testimages::PngPicture picture;
    picture.width = 5;
    picture.height = 3;
    picture.colourType = 4;  // grey with alpha
    picture.bitDepth = 16;
    picture.samples.assign(5 * 3 * 4, 0x40);
    const Bytes file = EncodePng(picture);
    DecodedImage image;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(LoadImageFromMemory(&image, file.data(), UINT(file.size()), &info, false), S_OK);
    EXPECT_EQ(info.Width, 5u);
    EXPECT_EQ(info.Height, 3u);
    EXPECT_EQ(info.Depth, 1u);
    EXPECT_EQ(info.MipLevels, 1u);
    EXPECT_EQ(info.Format, D3DFMT_A8L8) << "16-bit grey with alpha is reported as its public neighbour";
    EXPECT_EQ(info.ResourceType, D3DRTYPE_TEXTURE);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG);
    EXPECT_EQ(image.Top().pixels, nullptr);
    EXPECT_EQ(image.Top().sourceRect.right, 5);
    EXPECT_EQ(image.Top().sourceRect.bottom, 3);
}

TEST(LoadImage, NumericLocaleIsPutBack) {
    if (std::setlocale(LC_NUMERIC, "C.UTF-8") == nullptr) GTEST_SKIP() << "no C.UTF-8 locale here";
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    testimages::PngPicture picture;
    picture.samples = {1, 2, 3};
    const Bytes file = EncodePng(picture);
    DecodedImage image;
    EXPECT_EQ(LoadImageFromMemory(&image, file.data(), UINT(file.size()), nullptr, true), S_OK);
    EXPECT_EQ(before, std::setlocale(LC_NUMERIC, nullptr));
    const BYTE noise[16] = {1, 2, 3};
    EXPECT_EQ(LoadImageFromMemory(&image, noise, sizeof noise, nullptr, true), D3DXERR_INVALIDDATA);
    EXPECT_EQ(before, std::setlocale(LC_NUMERIC, nullptr));
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace
