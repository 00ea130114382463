#include <png.h>

#include "texture_fixture.h"
#include "utilities/decoded_image.h"
#include "utilities/dxt_codec.h"

namespace texturetest {
namespace {

// A 256 × 256 RGB picture with detail in every direction.
Bytes Picture256() {
    Bytes samples;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) samples.insert(samples.end(), {BYTE(x), BYTE(y), BYTE((x * y) >> 8)});
    return samples;
}

TEST_F(TextureLoadTest, RgbJpegKeepsItsDecodedPixelsAndGetsAFullChain) {
    const Bytes file = testimages::EncodeJpeg(256, 256, 3, Picture256(), 90);
    ASSERT_EQ(LoadFile("rgb256.jpg", file), D3D_OK);
    EXPECT_EQ(Desc().Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(Desc().Pool, D3DPOOL_MANAGED);
    ASSERT_EQ(texture_->GetLevelCount(), 9u);
    EXPECT_EQ(Desc(8).Width, 1u);
    EXPECT_EQ(Desc(8).Height, 1u);

    utilities::DecodedImage decoded;
    ASSERT_EQ(utilities::LoadImageFromMemory(&decoded, file.data(), UINT(file.size()), nullptr, true), S_OK);
    const testdevice::LevelContents level0 = testdevice::ReadLevel(texture_, 0);
    ASSERT_EQ(level0.bytes.size(), 256u * 256 * 4);
    EXPECT_TRUE(std::equal(level0.bytes.begin(), level0.bytes.end(), decoded.Top().pixels))
        << "level 0 holds the decoded pixels unchanged";
    EXPECT_EQ(level0.bytes[3], 0);

    // Level 1 comes from level 0 by the box rule, byte by byte (the empty top byte included).
    const testdevice::LevelContents level1 = testdevice::ReadLevel(texture_, 1);
    for (UINT y : {0u, 77u, 127u})
        for (UINT x : {0u, 40u, 127u})
            for (UINT c = 0; c < 4; ++c) {
                auto at = [&](UINT xx, UINT yy) { return int(level0.bytes[(yy * 256 + xx) * 4 + c]); };
                const int expected =
                    (at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1) + at(2 * x + 1, 2 * y + 1) + 2) / 4;
                ASSERT_EQ(level1.bytes[(y * 128 + x) * 4 + c], expected) << x << "," << y << " byte " << c;
            }
}

TEST_F(TextureLoadTest, NonPowerOfTwoPngIsResampledToTheNextPowers) {
    // Red climbs with x, green with y: after stretching 200 × 100 to 256 × 128 each texel must
    // still show the colour of the point it samples.
    testimages::PngPicture picture;
    picture.width = 200;
    picture.height = 100;
    for (UINT y = 0; y < 100; ++y)
        for (UINT x = 0; x < 200; ++x) picture.samples.insert(picture.samples.end(), {BYTE(x), BYTE(2 * y), 60});
    ASSERT_EQ(LoadFile("wide.png", testimages::EncodePng(picture)), D3D_OK);
    EXPECT_EQ(Desc().Width, 256u);
    EXPECT_EQ(Desc().Height, 128u);
    EXPECT_EQ(Desc().Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(texture_->GetLevelCount(), 9u);
    const std::vector<D3DCOLOR> level0 = testdevice::ReadLevelArgb(texture_, 0);
    for (UINT y = 4; y < 124; y += 17)
        for (UINT x = 4; x < 252; x += 23) {
            const D3DCOLOR c = level0[y * 256 + x];
            EXPECT_NEAR(int((c >> 16) & 0xFF), (x + 0.5) * 200 / 256 - 0.5, 1.5) << x << "," << y;
            EXPECT_NEAR(int((c >> 8) & 0xFF), 2 * ((y + 0.5) * 100 / 128 - 0.5), 2.5) << x << "," << y;
            EXPECT_EQ(c & 0xFF, 60u);
        }
}

TEST_F(TextureLoadTest, PngColourTypesGiveTheirFormats) {
    testimages::PngPicture rgba;
    rgba.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    rgba.width = rgba.height = 2;
    rgba.samples = {255, 0, 0, 10, 0, 255, 0, 20, 0, 0, 255, 30, 1, 2, 3, 40};
    ASSERT_EQ(LoadFile("rgba.png", testimages::EncodePng(rgba)), D3D_OK);
    EXPECT_EQ(Desc().Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(testdevice::ReadLevelArgb(texture_, 0),
              (std::vector<D3DCOLOR>{0x0AFF0000u, 0x1400FF00u, 0x1E0000FFu, 0x28010203u}));
    TearDown();

    testimages::PngPicture grey;
    grey.colourType = PNG_COLOR_TYPE_GRAY;
    grey.width = grey.height = 2;
    grey.samples = {0, 50, 100, 250};
    ASSERT_EQ(LoadFile("grey.png", testimages::EncodePng(grey)), D3D_OK);
    EXPECT_EQ(Desc().Format, D3DFMT_L8);
    EXPECT_EQ(testdevice::ReadLevel(texture_, 0).bytes, grey.samples);
    EXPECT_EQ(testdevice::ReadLevel(texture_, 1).bytes, Bytes{100});  // (0 + 50 + 100 + 250 + 2) / 4
    TearDown();

    testimages::PngPicture keyed;
    keyed.width = 2;
    keyed.samples = {10, 20, 30, 40, 50, 60};
    keyed.greyTransparency = true;
    keyed.transparentRgb[0] = 40;
    keyed.transparentRgb[1] = 50;
    keyed.transparentRgb[2] = 60;
    ASSERT_EQ(LoadFile("keyed.png", testimages::EncodePng(keyed)), D3D_OK);
    EXPECT_EQ(Desc().Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(testdevice::ReadLevelArgb(texture_, 0), (std::vector<D3DCOLOR>{0xFF0A141Eu, 0x0028323Cu}));
}

TEST_F(TextureLoadTest, GreyWithoutL8BecomesX8R8G8B8) {
    testdevice::LimitedDevice& device = Limited(testdevice::OfferOnly({D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8}));
    testimages::PngPicture grey;
    grey.colourType = PNG_COLOR_TYPE_GRAY;
    grey.width = 2;
    grey.samples = {30, 200};
    ASSERT_EQ(LoadFile(&device, "grey.png", testimages::EncodePng(grey)), D3D_OK);
    EXPECT_EQ(Desc().Format, D3DFMT_X8R8G8B8);
    const std::vector<D3DCOLOR> texels = testdevice::ReadLevelArgb(texture_, 0);
    EXPECT_EQ(texels[0] & 0xFFFFFF, 0x1E1E1Eu);
    EXPECT_EQ(texels[1] & 0xFFFFFF, 0xC8C8C8u);
}

TEST_F(TextureLoadTest, PalettePngs) {
    testimages::PngPicture picture;
    picture.colourType = PNG_COLOR_TYPE_PALETTE;
    picture.width = 4;
    for (int i = 0; i < 16; ++i) picture.paletteRgb.insert(picture.paletteRgb.end(), {BYTE(16 * i), 7, BYTE(255 - i)});
    picture.samples = {0, 3, 4, 15};
    // An opaque palette: X8R8G8B8.
    ASSERT_EQ(LoadFile("opaque.png", testimages::EncodePng(picture)), D3D_OK);
    EXPECT_EQ(Desc().Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(testdevice::ReadLevelArgb(texture_, 0)[3], D3DCOLOR_ARGB(255, 240, 7, 240));
    TearDown();

    // Sixteen colours, four alphas: the alphas reach the texels, so A8R8G8B8.
    picture.transparency = {0, 64, 128, 192};
    ASSERT_EQ(LoadFile("alpha.png", testimages::EncodePng(picture)), D3D_OK);
    EXPECT_EQ(Desc().Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(testdevice::ReadLevelArgb(texture_, 0),
              (std::vector<D3DCOLOR>{D3DCOLOR_ARGB(0, 0, 7, 255), D3DCOLOR_ARGB(192, 48, 7, 252),
                                     D3DCOLOR_ARGB(255, 64, 7, 251), D3DCOLOR_ARGB(255, 240, 7, 240)}));
    TearDown();

    // The opaque grey ramp is grey: L8, the indices being the levels.
    testimages::PngPicture ramp;
    ramp.colourType = PNG_COLOR_TYPE_PALETTE;
    ramp.width = 4;
    for (int i = 0; i < 256; ++i) ramp.paletteRgb.insert(ramp.paletteRgb.end(), {BYTE(i), BYTE(i), BYTE(i)});
    ramp.samples = {0, 128, 255, 7};
    ASSERT_EQ(LoadFile("ramp.png", testimages::EncodePng(ramp)), D3D_OK);
    EXPECT_EQ(Desc().Format, D3DFMT_L8);
    EXPECT_EQ(testdevice::ReadLevel(texture_, 0).bytes, ramp.samples);
}

TEST_F(TextureLoadTest, ColourKeyBecomesTransparentBlack) {
    testimages::PngPicture picture;
    picture.width = 2;
    picture.samples = {10, 20, 30, 40, 50, 60};
    const Bytes png = testimages::EncodePng(picture);
    texture_ = kUntouched;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(
                  reference_.get(), png.data(), UINT(png.size()), D3DX_DEFAULT, D3DX_DEFAULT, 1, 0, D3DFMT_A8R8G8B8,
                  D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_DEFAULT, 0xFF28323Cu, nullptr, nullptr, &texture_),
              D3D_OK);
    EXPECT_EQ(testdevice::ReadLevelArgb(texture_, 0), (std::vector<D3DCOLOR>{0xFF0A141Eu, 0u}));
}

TEST_F(TextureLoadTest, JpegGreyAndCmyk) {
    Bytes grey(64 * 64, 90);
    ASSERT_EQ(LoadFile("grey.jpg", testimages::EncodeJpeg(64, 64, 1, grey)), D3D_OK);
    EXPECT_EQ(Desc().Format, D3DFMT_L8);
    EXPECT_EQ(texture_->GetLevelCount(), 7u);
    TearDown();
    const Bytes cmyk = testimages::EncodeJpeg(8, 8, 4, Bytes(8 * 8 * 4, 3));
    EXPECT_EQ(LoadFile("cmyk.jpg", cmyk), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture_, kUntouched);
}

}  // namespace
}  // namespace texturetest
