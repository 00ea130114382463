#include "texture_fixture.h"
#include "utilities/dxt_codec.h"

namespace texturetest {
namespace {

// A DXT5 block of one colour and alpha.
Bytes SolidDxt5(std::uint16_t colour565, BYTE alpha) {
    const BYTE c0 = BYTE(colour565), c1 = BYTE(colour565 >> 8);
    return {alpha, alpha, 0, 0, 0, 0, 0, 0, c0, c1, c0, c1, 0, 0, 0, 0};
}

// Four 2 × 2 quadrants: red opaque, blue clear, two-thirds red at alpha 219, one-third red at 36.
Bytes QuadrantDxt5() {
    // Alpha indices 0, 1, 2, 7 and colour indices 0, 1, 2, 3 by quadrant, rows of four texels.
    const int alpha[4] = {0, 1, 2, 7};
    const int colour[4] = {0, 1, 2, 3};
    std::uint64_t alphaBits = 0;
    std::uint32_t colourBits = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const int quadrant = (y / 2) * 2 + x / 2, texel = y * 4 + x;
            alphaBits |= std::uint64_t(alpha[quadrant]) << (3 * texel);
            colourBits |= std::uint32_t(colour[quadrant]) << (2 * texel);
        }
    Bytes block = {255, 0};
    for (int i = 0; i < 6; ++i) block.push_back(BYTE(alphaBits >> (8 * i)));
    block.insert(block.end(), {0x00, 0xF8, 0x1F, 0x00});  // red over blue: four-colour mode
    for (int i = 0; i < 4; ++i) block.push_back(BYTE(colourBits >> (8 * i)));
    return block;
}

Bytes Dxt5File(UINT size, UINT levels, const std::vector<Bytes>& levelData) {
    testimages::DdsPicture picture;
    picture.width = picture.height = size;
    picture.mipCount = levels;
    picture.fourCC = D3DFMT_DXT5;
    Bytes file = testimages::DdsHeader(picture);
    for (const Bytes& level : levelData) file.insert(file.end(), level.begin(), level.end());
    return file;
}

Bytes Repeat(const Bytes& block, int count) {
    Bytes out;
    for (int i = 0; i < count; ++i) out.insert(out.end(), block.begin(), block.end());
    return out;
}

int Channel(D3DCOLOR c, int shift) { return int((c >> shift) & 0xFF); }

TEST_F(TextureLoadTest, Dxt5WithThreeLevelsGetsTheRestByBoxFilterFromTheLast) {
    // Levels 0 and 1 are flat green; level 2 (4 × 4) holds four quadrants. Levels 3 and 4 must be
    // made from level 2, not from the green levels above it.
    const Bytes green = SolidDxt5(0x07E0, 255);
    const Bytes file = Dxt5File(16, 3, {Repeat(green, 16), Repeat(green, 4), QuadrantDxt5()});
    ASSERT_EQ(LoadFile("tree.dds", file), D3D_OK);
    EXPECT_EQ(Desc().Format, D3DFMT_DXT5);
    ASSERT_EQ(texture_->GetLevelCount(), 5u);
    EXPECT_EQ(testdevice::ReadLevel(texture_, 0).bytes, Bytes(file.begin() + 128, file.begin() + 128 + 256));
    EXPECT_EQ(testdevice::ReadLevel(texture_, 2).bytes, QuadrantDxt5());

    // Level 3, 2 × 2: each texel is the average of a flat quadrant, that is the quadrant itself.
    const std::vector<D3DCOLOR> level3 = testdevice::ReadLevelArgb(texture_, 3);
    ASSERT_EQ(level3.size(), 4u);
    const D3DCOLOR quadrants[4] = {D3DCOLOR_ARGB(255, 255, 0, 0), D3DCOLOR_ARGB(0, 0, 0, 255),
                                   D3DCOLOR_ARGB(219, 170, 0, 85), D3DCOLOR_ARGB(36, 85, 0, 170)};
    for (int i = 0; i < 4; ++i)
        for (int shift : {0, 8, 16, 24})
            EXPECT_NEAR(Channel(level3[i], shift), Channel(quadrants[i], shift), 3) << i << " shift " << shift;

    // Level 4, 1 × 1: the box of the four, (sum + 2) / 4 = 128 in red, blue and alpha, kept as
    // nearly as DXT5's 5-bit red and blue allow.
    const std::vector<D3DCOLOR> level4 = testdevice::ReadLevelArgb(texture_, 4);
    ASSERT_EQ(level4.size(), 1u);
    EXPECT_NEAR(Channel(level4[0], 16), 128, 5);
    EXPECT_NEAR(Channel(level4[0], 0), 128, 5);
    EXPECT_EQ(Channel(level4[0], 8), 0);
    EXPECT_EQ(Channel(level4[0], 24), 128);
}

TEST_F(TextureLoadTest, Dxt1OnADeviceWithoutDxt1IsDecodedToA8R8G8B8) {
    testdevice::LimitedDevice& device =
        Limited(testdevice::OfferOnly({D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_L8, D3DFMT_A8L8}));
    testimages::DdsPicture picture;
    picture.fourCC = D3DFMT_DXT1;
    Bytes file = testimages::DdsHeader(picture);
    // Blue below red: three colours and transparent black, indices 0 1 2 3 on every row.
    file.insert(file.end(), {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0xE4, 0xE4, 0xE4});
    ASSERT_EQ(LoadFile(&device, "dxt1.dds", file), D3D_OK);
    EXPECT_EQ(Desc().Format, D3DFMT_A8R8G8B8);
    ASSERT_EQ(texture_->GetLevelCount(), 3u);
    const std::vector<D3DCOLOR> texels = testdevice::ReadLevelArgb(texture_, 0);
    const std::vector<D3DCOLOR> row = {0xFF0000FFu, 0xFFFF0000u, D3DCOLOR_ARGB(255, 128, 0, 128), 0u};
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(std::vector<D3DCOLOR>(texels.begin() + 4 * y, texels.begin() + 4 * y + 4), row) << "row " << y;
    // (255 + 0 + 255 + 0 + 2) / 4 in alpha for the left texel of level 1.
    EXPECT_EQ(testdevice::ReadLevelArgb(texture_, 1)[0], D3DCOLOR_ARGB(255, 128, 0, 128));
}

TEST_F(TextureLoadTest, BrokenDdsFilesAreInvalidData) {
    const Bytes good = Dxt5File(4, 1, {SolidDxt5(0xFFFF, 255)});
    ASSERT_EQ(LoadFile("good.dds", good), D3D_OK);
    TearDown();

    EXPECT_EQ(LoadFile("short.dds", Bytes(good.begin(), good.begin() + 100)), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture_, kUntouched);
    Bytes magic = good;
    magic[0] = 'X';
    EXPECT_EQ(LoadFile("magic.dds", magic), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture_, kUntouched);
    Bytes cube = good;
    cube[113] = 0x0E;  // caps2 with three of the six face bits
    EXPECT_EQ(LoadFile("cube.dds", cube), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture_, kUntouched);
    EXPECT_EQ(LoadFile("cut.dds", Bytes(good.begin(), good.end() - 1)), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture_, kUntouched);
}

}  // namespace
}  // namespace texturetest
