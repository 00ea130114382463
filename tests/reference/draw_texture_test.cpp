// Sampling: point and linear filters, wrap and clamp, mip selection per quad, the texel
// formats as the samplers see them, and textures changed while a frame still reads them.
#include "draw_helpers.h"

namespace reference::testing {
namespace {

constexpr DWORD kLevelColours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};

class TextureTest : public DrawTest {
protected:
    void Bind(IDirect3DTexture9* texture) {
        device_->SetTexture(0, texture);
        device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    }
    void TearDown() override {
        device_->SetTexture(0, nullptr);
        DrawTest::TearDown();
    }
};

TEST_F(TextureTest, PointSamplingTakesTheTexelUnderThePixelCentre) {
    IDirect3DTexture9* texture = MakeTexture(4, 1, 1, [](UINT, UINT x, UINT) { return kLevelColours[x]; });
    StartUnlit();
    Bind(texture);
    Rectangle(0, 0, 16, 16);  // pixel i samples u = i / 16: texel i / 4
    EXPECT_EQ(kLevelColours[0], Pixel(3, 0));
    EXPECT_EQ(kLevelColours[1], Pixel(4, 0));
    EXPECT_EQ(kLevelColours[3], Pixel(15, 15));
    texture->Release();
}

TEST_F(TextureTest, LinearFilteringBlendsNeighboursAndAddressingDecidesTheEdges) {
    // Black then white; pixel i samples texel position x = 2 i / 16 - 0.5.
    IDirect3DTexture9* texture =
        MakeTexture(2, 1, 1, [](UINT, UINT x, UINT) { return x == 0 ? 0xFF000000u : 0xFFFFFFFFu; });
    struct Case {
        DWORD address;
        int at0, at4, at6, at12, at15;
    };
    // x = -0.5: clamp reads black twice, wrap mixes white and black half and half (127.5).
    // x = 0.25: a quarter white (63.75). x = 1.375: clamp stays white, wrap is 5/8 white (159.4).
    for (Case c : {Case{D3DTADDRESS_CLAMP, 0, 0, 64, 255, 255}, Case{D3DTADDRESS_WRAP, 128, 0, 64, 255, 159},
                   Case{D3DTADDRESS_MIRROR, 0, 0, 64, 255, 255}}) {
        StartUnlit();
        Bind(texture);
        SetSampler(0, D3DTEXF_LINEAR, D3DTEXF_NONE, c.address);
        Rectangle(0, 0, 16, 16);
        EXPECT_TRUE(Near(Pixel(0, 5), 255, c.at0, c.at0, c.at0)) << c.address;
        EXPECT_TRUE(Near(Pixel(4, 5), 255, c.at4, c.at4, c.at4)) << c.address;
        EXPECT_TRUE(Near(Pixel(6, 5), 255, c.at6, c.at6, c.at6)) << c.address;
        EXPECT_TRUE(Near(Pixel(12, 5), 255, c.at12, c.at12, c.at12)) << c.address;
        EXPECT_TRUE(Near(Pixel(15, 5), 255, c.at15, c.at15, c.at15)) << c.address;
    }
    texture->Release();
}

TEST_F(TextureTest, WrapRepeatsWhereClampStretchesTheEdge) {
    IDirect3DTexture9* texture = MakeTexture(4, 4, 1, [](UINT, UINT x, UINT) { return kLevelColours[x]; });
    StartUnlit();
    Bind(texture);
    SetSampler(0, D3DTEXF_POINT, D3DTEXF_NONE, D3DTADDRESS_WRAP);
    Rectangle(0, 0, 16, 16, 0xFFFFFFFF, 0.5f, 0, 0, 2, 1);  // u from 0 to 2
    EXPECT_EQ(kLevelColours[0], Pixel(8, 4)) << "u = 1: the start again";
    SetSampler(0, D3DTEXF_POINT, D3DTEXF_NONE, D3DTADDRESS_CLAMP);
    Rectangle(0, 0, 16, 16, 0xFFFFFFFF, 0.5f, 0, 0, 2, 1);
    EXPECT_EQ(kLevelColours[3], Pixel(8, 4)) << "u = 1: the last texel";
    EXPECT_EQ(kLevelColours[3], Pixel(15, 4));
    texture->Release();
}

// A 32 x 32 texture whose six levels each have their own colour.
class MipTest : public TextureTest {
protected:
    void SetUp() override {
        TextureTest::SetUp();
        texture_ = MakeTexture(32, 32, 0, [](UINT level, UINT, UINT) { return kLevelColours[level]; });
    }
    void TearDown() override {
        TextureTest::TearDown();
        texture_->Release();
    }
    // A square of `size` pixels showing the whole texture: 32 / size texels per pixel.
    DWORD Show(float size, DWORD mip, float bias = 0.0f) {
        StartUnlit();
        Bind(texture_);
        SetSampler(0, D3DTEXF_POINT, mip, D3DTADDRESS_WRAP);
        DWORD biasBits;
        std::memcpy(&biasBits, &bias, 4);
        device_->SetSamplerState(0, D3DSAMP_MIPMAPLODBIAS, biasBits);
        Rectangle(0, 0, size, size);
        return Pixel(2, 2);
    }
    IDirect3DTexture9* texture_ = nullptr;
};

TEST_F(MipTest, TheLevelFollowsTexelsPerPixel) {
    EXPECT_EQ(kLevelColours[0], Show(32, D3DTEXF_POINT)) << "1 texel per pixel";
    EXPECT_EQ(kLevelColours[1], Show(16, D3DTEXF_POINT)) << "2 texels per pixel";
    EXPECT_EQ(kLevelColours[2], Show(8, D3DTEXF_POINT)) << "4 texels per pixel";
    EXPECT_EQ(kLevelColours[0], Show(8, D3DTEXF_NONE)) << "no mipmapping";
}

TEST_F(MipTest, TrilinearBlendsTheTwoNearestLevels) {
    // 2 texels per pixel with a bias of 0.25: level 1.25, three quarters green and a quarter
    // blue: (0, 191.25, 63.75).
    EXPECT_TRUE(Near(Show(16, D3DTEXF_LINEAR, 0.25f), 255, 0, 191, 64));
    EXPECT_EQ(kLevelColours[1], Show(16, D3DTEXF_LINEAR));
    // Past the last level the last level stays.
    EXPECT_EQ(kLevelColours[5], Show(16, D3DTEXF_LINEAR, 10.0f));
}

TEST_F(MipTest, MaxMipLevelMovesTheLargestLevel) {
    StartUnlit();
    Bind(texture_);
    SetSampler(0, D3DTEXF_POINT, D3DTEXF_POINT, D3DTADDRESS_WRAP);
    device_->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 2);
    Rectangle(0, 0, 32, 32);
    EXPECT_EQ(kLevelColours[2], Pixel(5, 5));
}

TEST_F(TextureTest, CompressedAndLuminanceTexturesSampleTheirDecodedTexels) {
    IDirect3DTexture9* dxt = nullptr;
    ASSERT_EQ(D3D_OK, device_->CreateTexture(4, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &dxt, nullptr));
    D3DLOCKED_RECT locked{};
    dxt->LockRect(0, &locked, nullptr, 0);
    const std::uint8_t block[8] = {0xFF, 0xFF, 0x00, 0x00, 0xE4, 0xE4, 0xE4, 0xE4};  // white, black, 2/3, 1/3
    std::memcpy(locked.pBits, block, 8);
    dxt->UnlockRect(0);
    StartUnlit();
    Bind(dxt);
    Rectangle(0, 0, 4, 4);
    EXPECT_EQ(0xFFFFFFFFu, Pixel(0, 1));
    EXPECT_EQ(0xFF000000u, Pixel(1, 1));
    EXPECT_EQ(0xFFAAAAAAu, Pixel(2, 1));
    EXPECT_EQ(0xFF555555u, Pixel(3, 1));
    dxt->Release();

    IDirect3DTexture9* luminance = nullptr;
    ASSERT_EQ(D3D_OK, device_->CreateTexture(2, 1, 1, 0, D3DFMT_A8L8, D3DPOOL_MANAGED, &luminance, nullptr));
    luminance->LockRect(0, &locked, nullptr, 0);
    const std::uint8_t texels[4] = {0x30, 0x90, 0xC0, 0x10};  // (L 0x30, A 0x90), (L 0xC0, A 0x10)
    std::memcpy(locked.pBits, texels, 4);
    luminance->UnlockRect(0);
    StartUnlit();
    Bind(luminance);
    Rectangle(0, 0, 2, 2);
    EXPECT_EQ(0xFF303030u, Pixel(0, 0)) << "alpha is not kept by an X8R8G8B8 frame";
    EXPECT_EQ(0xFFC0C0C0u, Pixel(1, 0));
    luminance->Release();
}

TEST_F(TextureTest, DefaultPoolTexturesShowWhatUpdateTextureCopied) {
    IDirect3DTexture9* staging = nullptr;
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(D3D_OK, device_->CreateTexture(2, 2, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &staging, nullptr));
    ASSERT_EQ(D3D_OK, device_->CreateTexture(2, 2, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr));
    D3DLOCKED_RECT locked{};
    staging->LockRect(0, &locked, nullptr, 0);
    for (int i = 0; i < 2; ++i) {
        auto* row = reinterpret_cast<DWORD*>(static_cast<std::uint8_t*>(locked.pBits) + i * locked.Pitch);
        row[0] = row[1] = 0x00123456;  // the X byte holds nothing: it samples as opaque
    }
    staging->UnlockRect(0);
    ASSERT_EQ(D3D_OK, device_->UpdateTexture(staging, target));
    StartUnlit();
    Bind(target);
    Rectangle(0, 0, 8, 8);
    EXPECT_EQ(0xFF123456u, Pixel(3, 3));
    staging->Release();
    target->Release();
}

TEST_F(TextureTest, ATextureChangedAfterADrawStillShowsItsOldTexelsInThatDraw) {
    IDirect3DTexture9* texture = MakeTexture(1, 1, 1, [](UINT, UINT, UINT) { return 0xFFFF0000u; });
    StartUnlit();
    Bind(texture);
    Rectangle(0, 0, 8, 8);
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, 0);
    *static_cast<DWORD*>(locked.pBits) = 0xFF00FF00;
    texture->UnlockRect(0);
    Rectangle(8, 0, 16, 8);
    EXPECT_EQ(0xFFFF0000u, Pixel(2, 2));
    EXPECT_EQ(0xFF00FF00u, Pixel(10, 2));
    texture->Release();
}

}  // namespace
}  // namespace reference::testing
