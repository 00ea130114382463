// What the samplers read: each texture format as the format means it (DXT blocks checked
// against the reference device's decoder), the addressing modes, the mip level a minified
// texture draws from, and textures and buffers refilled between draws.
#include "drawing.h"
#include "platform/device_common/s3tc.h"

namespace devices::testing {
namespace {

constexpr D3DCOLOR kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

using TextureTest = DeviceTest;

// Pixel i of a strip starting at x = 0 samples the texture at u = (i + 0.5) / pixels x uRepeat:
// the strip's edges lie half a pixel outside the first and last centres.
std::vector<TexturedVertex> Strip(int pixels, float uRepeat, float rows = 1.0f) {
    return TexturedRectangle(64, -0.5f, -0.5f, static_cast<float>(pixels) - 0.5f, rows - 0.5f, uRepeat, 1.0f);
}

TEST_P(TextureTest, FormatsSampleAsTheirChannelsMean) {
    D3DPRESENT_PARAMETERS p = Parameters(64, 64);
    p.BackBufferFormat = D3DFMT_A8R8G8B8;  // the alpha that the stages produce is kept
    ASSERT_NO_FATAL_FAILURE(CreateDevice(p));
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    const std::uint8_t grey = 0x40;
    const std::uint8_t greyWithAlpha[2] = {0x40, 0x80};  // luminance, then alpha
    const std::uint32_t noAlpha = 0x00336699;
    struct Case {
        D3DFORMAT format;
        const void* texel;
        UINT bytes;
        D3DCOLOR expected;
    };
    for (Case c : {Case{D3DFMT_L8, &grey, 1, 0xFF404040}, Case{D3DFMT_A8L8, greyWithAlpha, 2, 0x80404040},
                   Case{D3DFMT_X8R8G8B8, &noAlpha, 4, 0xFF336699}}) {
        IDirect3DTexture9* texture = MakeTexture(device_, 1, 1, c.format, c.texel, c.bytes, 1);
        device_->SetTexture(0, texture);
        DrawFan(device_, TexturedRectangle(width_, 0, 0, 8, 8, 1, 1), kTexturedFvf);
        EXPECT_ARGB_NEAR(c.expected, Pixel(4, 4), 0) << "format " << c.format;
        device_->SetTexture(0, nullptr);
        texture->Release();
    }
}

TEST_P(TextureTest, DxtBlocksDecodeAsTheReferenceDecoderSays) {
    D3DCAPS9 caps{};
    ASSERT_EQ(D3D_OK, device_->GetDeviceCaps(&caps));
    D3DPRESENT_PARAMETERS p = Parameters(64, 64);
    p.BackBufferFormat = D3DFMT_A8R8G8B8;
    ASSERT_NO_FATAL_FAILURE(CreateDevice(p));
    IDirect3DTexture9* probe = nullptr;
    if (device_->CreateTexture(4, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &probe, nullptr) != D3D_OK)
        GTEST_SKIP() << "this OpenGL has no S3TC";
    probe->Release();
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    // Colour halves with both palette modes, explicit and interpolated alpha.
    const std::uint8_t dxt1Opaque[8] = {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0x1B, 0x4E, 0xB1};
    const std::uint8_t dxt1Transparent[8] = {0x1F, 0x00, 0x00, 0xF8, 0x0F, 0xF0, 0xC3, 0x3C};
    const std::uint8_t dxt3[16] = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE,
                                   0xE0, 0x07, 0x1F, 0xF8, 0x1B, 0xE4, 0x4E, 0xB1};
    const std::uint8_t dxt5[16] = {0xF0, 0x10, 0x88, 0xC6, 0xFA, 0x05, 0x39, 0x77,
                                   0xFF, 0xFF, 0x00, 0x00, 0x55, 0xAA, 0x55, 0xAA};
    struct Case {
        D3DFORMAT format;
        const std::uint8_t* block;
        UINT bytes;
    };
    for (Case c : {Case{D3DFMT_DXT1, dxt1Opaque, 8}, Case{D3DFMT_DXT1, dxt1Transparent, 8}, Case{D3DFMT_DXT3, dxt3, 16},
                   Case{D3DFMT_DXT5, dxt5, 16}}) {
        std::uint32_t expected[16];
        device_common::DecodeDxtBlock(c.format, c.block, expected);
        IDirect3DTexture9* texture = MakeTexture(device_, 4, 4, c.format, c.block, c.bytes, 1);
        device_->SetTexture(0, texture);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        DrawFan(device_, TexturedRectangle(width_, -0.5f, -0.5f, 3.5f, 3.5f, 1, 1), kTexturedFvf);
        const std::vector<std::uint32_t> frame = Frame();
        // Decoders may round the interpolated palette entries differently.
        for (int i = 0; i < 16; ++i)
            EXPECT_ARGB_NEAR(expected[i], frame[(i / 4) * 64 + i % 4], Tolerance().interpolated)
                << "format " << c.format << " texel " << i;
        device_->SetTexture(0, nullptr);
        texture->Release();
    }
}

TEST_P(TextureTest, AddressingWrapsClampsAndMirrors) {
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    const std::uint32_t texels[2] = {kRed, kGreen};
    IDirect3DTexture9* texture = MakeTexture(device_, 2, 1, D3DFMT_A8R8G8B8, texels, 8, 1);
    device_->SetTexture(0, texture);
    struct Case {
        DWORD address;
        D3DCOLOR expected[8];  // u = 0.25, 0.75, ... 3.75 texels
    };
    const Case cases[] = {
        {D3DTADDRESS_WRAP, {kRed, kRed, kGreen, kGreen, kRed, kRed, kGreen, kGreen}},
        {D3DTADDRESS_CLAMP, {kRed, kRed, kGreen, kGreen, kGreen, kGreen, kGreen, kGreen}},
        {D3DTADDRESS_MIRROR, {kRed, kRed, kGreen, kGreen, kGreen, kGreen, kRed, kRed}},
    };
    for (const Case& c : cases) {
        device_->SetSamplerState(0, D3DSAMP_ADDRESSU, c.address);
        DrawFan(device_, Strip(8, 2.0f), kTexturedFvf);
        const std::vector<std::uint32_t> frame = Frame();
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(c.expected[i], frame[i]) << "address mode " << c.address << " pixel " << i;
    }
    // Magnified with linear filtering: pixel 4 of 8 lies half-way between the two texel centres.
    device_->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    DrawFan(device_, TexturedRectangle(width_, 0, 0, 8, 1, 1, 1), kTexturedFvf);
    EXPECT_COLOUR_NEAR(0xFF808000u, Pixel(4, 0), Tolerance().colour);
    EXPECT_EQ(kRed, Pixel(0, 0)) << "clamped at the edge";
    device_->SetTexture(0, nullptr);
    texture->Release();
}

TEST_P(TextureTest, MinifiedTexturesDrawFromTheMatchingMipLevel) {
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3D_OK, device_->CreateTexture(8, 8, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr));
    ASSERT_EQ(4u, texture->GetLevelCount());
    const D3DCOLOR levelColours[4] = {kRed, kGreen, kBlue, 0xFFFFFFFF};
    for (UINT level = 0; level < 4; ++level) {
        D3DSURFACE_DESC desc{};
        texture->GetLevelDesc(level, &desc);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(D3D_OK, texture->LockRect(level, &locked, nullptr, 0));
        for (UINT y = 0; y < desc.Height; ++y)
            for (UINT x = 0; x < desc.Width; ++x)
                static_cast<std::uint32_t*>(locked.pBits)[y * (locked.Pitch / 4) + x] = levelColours[level];
        texture->UnlockRect(level);
    }
    device_->SetTexture(0, texture);
    device_->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
    // 8 texels over 2 pixels: a quarter of the size, level 2.
    DrawFan(device_, TexturedRectangle(width_, 0, 0, 2, 2, 1, 1), kTexturedFvf);
    EXPECT_EQ(kBlue, Pixel(0, 0));
    DrawFan(device_, TexturedRectangle(width_, 0, 0, 4, 4, 1, 1), kTexturedFvf);
    EXPECT_EQ(kGreen, Pixel(1, 1));
    // Without mip filtering the top level is drawn whatever the size.
    device_->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    DrawFan(device_, TexturedRectangle(width_, 0, 0, 2, 2, 1, 1), kTexturedFvf);
    EXPECT_EQ(kRed, Pixel(0, 0));
    device_->SetTexture(0, nullptr);
    texture->Release();
}

TEST_P(TextureTest, RefilledTexturesAndBuffersDrawTheirNewContents) {
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    const std::uint32_t red = kRed;
    IDirect3DTexture9* texture = MakeTexture(device_, 1, 1, D3DFMT_A8R8G8B8, &red, 4, 1);
    device_->SetTexture(0, texture);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    DrawFan(device_, TexturedRectangle(width_, 0, 0, 8, 8, 1, 1), kTexturedFvf);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(D3D_OK, texture->LockRect(0, &locked, nullptr, 0));
    *static_cast<std::uint32_t*>(locked.pBits) = kBlue;
    texture->UnlockRect(0);
    DrawFan(device_, TexturedRectangle(width_, 8, 0, 16, 8, 1, 1), kTexturedFvf);
    EXPECT_EQ(kRed, Pixel(4, 4)) << "the first draw keeps what it sampled";
    EXPECT_EQ(kBlue, Pixel(12, 4));
    device_->SetTexture(0, nullptr);
    texture->Release();

    // One buffer, drawn, refilled in part, drawn again.
    UseVertexColours(device_);
    std::vector<ColouredVertex> quad = Rectangle(width_, 0, 16, 8, 24, kGreen);
    IDirect3DVertexBuffer9* buffer = MakeVertexBuffer(device_, quad, kColouredFvf);
    device_->SetFVF(kColouredFvf);
    device_->SetStreamSource(0, buffer, 0, sizeof(ColouredVertex));
    device_->BeginScene();
    device_->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2);
    void* data = nullptr;
    ASSERT_EQ(D3D_OK, buffer->Lock(sizeof(ColouredVertex), 2 * sizeof(ColouredVertex), &data, 0));
    for (int v = 0; v < 2; ++v) static_cast<ColouredVertex*>(data)[v].x += 16.0f * 2.0f / 64.0f;  // moved right
    buffer->Unlock();
    device_->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2);
    device_->EndScene();
    EXPECT_EQ(kGreen, Pixel(4, 20));
    EXPECT_EQ(kGreen, Pixel(20, 20)) << "the second draw reads the moved vertices";
    device_->SetStreamSource(0, nullptr, 0, 0);
    buffer->Release();
}

// Two stages each with its texture; the first one's texture is then refilled. Stage 1 only adds
// its texture, so both must show in the sum.
TEST_P(TextureTest, RefillingOneStagesTextureLeavesTheOtherStagesTextureAlone) {
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    const std::uint32_t red = 0xFF800000, green = 0xFF008000;
    IDirect3DTexture9* first = MakeTexture(device_, 1, 1, D3DFMT_A8R8G8B8, &red, 4, 1);
    IDirect3DTexture9* second = MakeTexture(device_, 1, 1, D3DFMT_A8R8G8B8, &green, 4, 1);
    device_->SetTexture(0, first);
    device_->SetTexture(1, second);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    device_->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device_->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    device_->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    DrawFan(device_, TexturedRectangle(width_, 0, 0, 8, 8, 1, 1), kTexturedFvf);
    EXPECT_EQ(0xFF808000u, Pixel(4, 4));
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(D3D_OK, first->LockRect(0, &locked, nullptr, 0));
    *static_cast<std::uint32_t*>(locked.pBits) = 0xFF000080;
    first->UnlockRect(0);
    DrawFan(device_, TexturedRectangle(width_, 0, 0, 8, 8, 1, 1), kTexturedFvf);
    EXPECT_EQ(0xFF008080u, Pixel(4, 4));
    device_->SetTexture(0, nullptr);
    device_->SetTexture(1, nullptr);
    first->Release();
    second->Release();
}

INSTANTIATE_TEST_SUITE_P(Devices, TextureTest, DEVICE_FACTORIES, FACTORY_NAME);

}  // namespace
}  // namespace devices::testing
