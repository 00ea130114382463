#include <gtest/gtest.h>

#include "support/image_writers.h"
#include "utilities/decoded_image.h"
#include "utilities/image_decoders.h"

namespace {

using testimages::Bytes;
using testimages::DdsPicture;
using utilities::DecodedImage;

constexpr DWORD kRgb = 0x40;
constexpr DWORD kAlphaPixels = 0x1;
constexpr DWORD kPalette8 = 0x20;
constexpr DWORD kDepthFlag = 0x00800000;

Bytes Dds(const DdsPicture& picture, std::size_t dataBytes) {
    Bytes file = testimages::DdsHeader(picture);
    for (std::size_t i = 0; i < dataBytes; ++i) file.push_back(BYTE(i * 7));
    return file;
}

DdsPicture Dxt1(UINT width, UINT height, UINT levels) {
    DdsPicture picture;
    picture.width = width;
    picture.height = height;
    picture.mipCount = levels;
    picture.fourCC = D3DFMT_DXT1;
    return picture;
}

HRESULT DecodeDds(const Bytes& file, DecodedImage& image) {
    image.Clear();
    return utilities::DecodeDds(image, file.data(), UINT(file.size()), true);
}

TEST(DecodeDds, Dxt1ChainPointsIntoTheFile) {
    // 256 × 256 DXT1, nine levels: 32768 bytes for level 0 down to one 8-byte block.
    std::size_t total = 0;
    for (UINT size = 256; size >= 1; size /= 2) total += ((size + 3) / 4) * ((size + 3) / 4) * 8;
    const Bytes file = Dds(Dxt1(256, 256, 9), total);
    DecodedImage image;
    ASSERT_EQ(DecodeDds(file, image), S_OK);
    ASSERT_EQ(image.faces.size(), 1u);
    ASSERT_EQ(image.LevelCount(), 9u);
    EXPECT_EQ(image.resourceType, D3DRTYPE_TEXTURE);
    const std::vector<utilities::ImageLevel>& levels = image.faces[0];
    EXPECT_EQ(levels[0].pixels, file.data() + 128);
    EXPECT_EQ(levels[0].slicePitch, 32768u);
    EXPECT_EQ(levels[0].rowPitch, 512u);
    EXPECT_EQ(levels[1].pixels, file.data() + 128 + 32768);
    EXPECT_EQ(levels[8].width, 1u);
    EXPECT_EQ(levels[8].height, 1u);
    EXPECT_EQ(levels[8].slicePitch, 8u);
    EXPECT_EQ(levels[8].pixels + 8, file.data() + file.size());
}

TEST(DecodeDds, RecognisesFormatsByMasksAndByNumber) {
    DdsPicture argb;
    argb.width = argb.height = 2;
    argb.pixelFlags = kRgb | kAlphaPixels;
    argb.bitCount = 32;
    argb.masks[0] = 0xFF0000;
    argb.masks[1] = 0xFF00;
    argb.masks[2] = 0xFF;
    argb.masks[3] = 0xFF000000;
    DecodedImage image;
    ASSERT_EQ(DecodeDds(Dds(argb, 16), image), S_OK);
    EXPECT_EQ(image.Top().format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(image.Top().rowPitch, 8u);

    // Red and blue swapped: no row of the table has these masks.
    std::swap(argb.masks[0], argb.masks[2]);
    argb.masks[0] = 0xF0;
    EXPECT_EQ(DecodeDds(Dds(argb, 16), image), E_FAIL);

    // A16B16G16R16 is named by its format number in the four-character-code field.
    DdsPicture wide;
    wide.width = wide.height = 2;
    wide.fourCC = D3DFMT_A16B16G16R16;
    ASSERT_EQ(DecodeDds(Dds(wide, 32), image), S_OK);
    EXPECT_EQ(image.Top().format, D3DFMT_A16B16G16R16);
    EXPECT_EQ(image.Top().rowPitch, 16u);

    wide.fourCC = 0x12345678;
    EXPECT_EQ(DecodeDds(Dds(wide, 32), image), E_FAIL);
    wide.fourCC = D3DFMT_A16B16G16R16;
    wide.pixelFormatSize = 24;
    EXPECT_EQ(DecodeDds(Dds(wide, 32), image), E_FAIL);
}

TEST(DecodeDds, PaletteComesBeforeThePixels) {
    DdsPicture picture;
    picture.width = picture.height = 4;
    picture.pixelFlags = kPalette8;
    picture.bitCount = 8;
    const Bytes file = Dds(picture, 1024 + 16);
    DecodedImage image;
    ASSERT_EQ(DecodeDds(file, image), S_OK);
    EXPECT_EQ(image.Top().format, D3DFMT_P8);
    EXPECT_EQ(reinterpret_cast<const BYTE*>(image.palette), file.data() + 128);
    EXPECT_EQ(image.Top().pixels, file.data() + 1152);
    EXPECT_EQ(DecodeDds(Dds(picture, 1000), image), E_FAIL) << "too short for the palette";
}

TEST(DecodeDds, CubeMapsAndVolumes) {
    DdsPicture cube = Dxt1(4, 4, 2);
    cube.caps2 = 0xFE00;  // cube map, all six faces
    const Bytes file = Dds(cube, 6 * 16);
    DecodedImage image;
    ASSERT_EQ(DecodeDds(file, image), S_OK);
    EXPECT_EQ(image.resourceType, D3DRTYPE_CUBETEXTURE);
    ASSERT_EQ(image.faces.size(), 6u);
    // Each face carries its whole chain before the next face starts.
    EXPECT_EQ(image.faces[1][0].pixels, file.data() + 128 + 16);
    EXPECT_EQ(image.faces[5][1].pixels, file.data() + 128 + 5 * 16 + 8);

    cube.caps2 = 0x0600;  // only the first face
    EXPECT_EQ(DecodeDds(Dds(cube, 6 * 16), image), E_FAIL);

    DdsPicture volume = Dxt1(4, 4, 1);
    volume.flags |= kDepthFlag;
    volume.depth = 3;
    ASSERT_EQ(DecodeDds(Dds(volume, 3 * 8), image), S_OK);
    EXPECT_EQ(image.resourceType, D3DRTYPE_VOLUMETEXTURE);
    EXPECT_EQ(image.Top().depth, 3u);
    EXPECT_EQ(DecodeDds(Dds(volume, 2 * 8), image), E_FAIL);
}

TEST(DecodeDds, RejectsShortWrongAndUnderfilledFiles) {
    DecodedImage image;
    const Bytes good = Dds(Dxt1(8, 8, 1), 32);
    EXPECT_EQ(DecodeDds(good, image), S_OK);
    EXPECT_EQ(utilities::DecodeDds(image, good.data(), 127, true), E_FAIL);
    Bytes wrongMagic = good;
    wrongMagic[3] = 'X';
    EXPECT_EQ(DecodeDds(wrongMagic, image), E_FAIL);
    // Announces two levels (32 + 8 bytes) but holds only the first.
    EXPECT_EQ(DecodeDds(Dds(Dxt1(8, 8, 2), 39), image), E_FAIL);
    EXPECT_EQ(DecodeDds(Dds(Dxt1(8, 8, 2), 40), image), S_OK);
    // A mip count of 0 reads as one level.
    EXPECT_EQ(DecodeDds(Dds(Dxt1(8, 8, 0), 32), image), S_OK);
    EXPECT_EQ(image.LevelCount(), 1u);
    EXPECT_EQ(DecodeDds(Dds(Dxt1(0, 8, 1), 32), image), E_FAIL);
}

TEST(DecodeDds, SizesThatOverflowAreRefused) {
    DdsPicture picture;
    picture.width = picture.height = 0xFFFFFFFFu;
    picture.fourCC = D3DFMT_A32B32G32R32F;  // 16 bytes a texel: 2^68 bytes for level 0
    DecodedImage image;
    EXPECT_EQ(DecodeDds(Dds(picture, 64), image), E_FAIL);
    picture.width = 1;
    picture.height = 1;
    picture.mipCount = 0xFFFFFFFFu;  // four billion 1 × 1 levels in 64 bytes
    EXPECT_EQ(DecodeDds(Dds(picture, 64), image), E_FAIL);
    picture.flags |= kDepthFlag;
    picture.depth = 0xFFFFFFFFu;
    picture.mipCount = 1;
    EXPECT_EQ(DecodeDds(Dds(picture, 64), image), E_FAIL);
}

}  // namespace
