// The scene's own blends on test patterns, issued with the exact state calls of the terrain and
// water drawing: the two-pass terrain (rock x d x a, then grass x d x (1 - a) + rock x d x a^2)
// and the water (a x (mask x caustic + frame)).
#include <algorithm>
#include <cmath>
#include <vector>

#include "draw_helpers.h"

namespace reference::testing {
namespace {

struct TerrainVertex {  // D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2, 40 bytes
    float x, y, z, nx, ny, nz, u0, v0, u1, v1;
};
struct WaterVertex {  // D3DFVF_XYZ | D3DFVF_TEX2, 28 bytes
    float x, y, z, u0, v0, u1, v1;
};

class ScenePassTest : public DrawTest {
protected:
    void SetUp() override { Prepare(D3DFMT_X8R8G8B8); }

    // A fresh device with the viewer's material and sun.
    void Prepare(D3DFORMAT backBuffer) {
        CreateDevice(16, 16, backBuffer);
        device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        D3DMATERIAL9 material{};
        material.Diffuse = material.Ambient = {1, 1, 1, 1};
        device_->SetMaterial(&material);
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1, 1, 1, 0};
        light.Range = 1000;
        light.Direction = {0, 0, 1};
        device_->SetLight(0, &light);
        device_->LightEnable(0, TRUE);
        device_->SetRenderState(D3DRS_LIGHTING, TRUE);
        device_->SetRenderState(D3DRS_AMBIENT, 0x00202020);
    }

    IDirect3DTexture9* Solid(DWORD texel) {
        return MakeTexture(1, 1, 0, [texel](UINT, UINT, UINT) { return texel; });
    }

    IDirect3DVertexBuffer9* Buffer(const void* data, UINT bytes, DWORD fvf) {
        IDirect3DVertexBuffer9* buffer = nullptr;
        device_->CreateVertexBuffer(bytes, 0, fvf, D3DPOOL_DEFAULT, &buffer, nullptr);
        void* target = nullptr;
        buffer->Lock(0, bytes, &target, 0);
        std::memcpy(target, data, bytes);
        buffer->Unlock();
        return buffer;
    }

    // HeighMap::Dessiner's calls, in order, for a quad whose normal gives N.L = 0.6, so that the
    // lit colour d is 32 + 0.6 x 255 = 185 on every channel.
    // `indices` picks triangles of the quad (its two by default).
    void TerrainPass(IDirect3DTexture9* mask, IDirect3DTexture9* ground, bool second,
                     const std::vector<std::uint16_t>& indices = {0, 1, 2, 0, 2, 3}) {
        const float nx = 0.8f, nz = -0.6f;
        const TerrainVertex quad[4] = {{-1, 1, 0.5f, nx, 0, nz, 0, 0, 0, 0},
                                       {1, 1, 0.5f, nx, 0, nz, 1, 0, 4, 0},
                                       {1, -1, 0.5f, nx, 0, nz, 1, 1, 4, 4},
                                       {-1, -1, 0.5f, nx, 0, nz, 0, 1, 0, 4}};
        const auto bytes = static_cast<UINT>(indices.size() * sizeof(std::uint16_t));
        IDirect3DVertexBuffer9* vertices = Buffer(quad, sizeof quad, 0x212);
        IDirect3DIndexBuffer9* ib = nullptr;
        device_->CreateIndexBuffer(bytes, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib, nullptr);
        void* data = nullptr;
        ib->Lock(0, bytes, &data, 0);
        std::memcpy(data, indices.data(), bytes);
        ib->Unlock();

        device_->SetFVF(0x212);
        device_->SetStreamSource(0, vertices, 0, 40);
        device_->SetIndices(ib);
        device_->SetTexture(0, mask);
        device_->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        device_->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
        device_->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
        device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        device_->SetTexture(1, ground);
        device_->SetSamplerState(1, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
        device_->SetSamplerState(1, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
        device_->SetSamplerState(1, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
        device_->SetSamplerState(1, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        device_->SetSamplerState(1, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device_->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
        device_->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TEXTURE);
        device_->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        device_->SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_CURRENT);
        device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device_->SetRenderState(D3DRS_SRCBLEND, second ? D3DBLEND_INVSRCALPHA : D3DBLEND_SRCALPHA);
        device_->SetRenderState(D3DRS_DESTBLEND, second ? D3DBLEND_SRCALPHA : D3DBLEND_ZERO);
        device_->BeginScene();
        device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, static_cast<UINT>(indices.size() / 3));
        device_->EndScene();
        device_->SetTexture(0, nullptr);
        device_->SetTexture(1, nullptr);
        device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        device_->SetIndices(nullptr);
        vertices->Release();
        ib->Release();
    }

    // cEau::Dessiner's calls, relying on the stage states the terrain left.
    void WaterPass(IDirect3DTexture9* mask, IDirect3DTexture9* caustic) {
        const WaterVertex quad[4] = {{-1, 1, 0.4f, 0, 0, 0, 0},
                                     {1, 1, 0.4f, 1, 0, 20, 0},
                                     {1, -1, 0.4f, 1, 1, 20, 20},
                                     {-1, -1, 0.4f, 0, 1, 0, 20}};
        IDirect3DVertexBuffer9* vertices = Buffer(quad, sizeof quad, 0x202);
        DWORD lighting = 0;
        device_->GetRenderState(D3DRS_LIGHTING, &lighting);
        device_->SetRenderState(D3DRS_LIGHTING, FALSE);
        device_->SetFVF(0x202);
        device_->SetStreamSource(0, vertices, 0, 28);
        device_->SetTexture(0, mask);
        device_->SetTexture(1, caustic);
        device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device_->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
        device_->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TEXTURE);
        device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCALPHA);
        device_->BeginScene();
        device_->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2);
        device_->EndScene();
        device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        device_->SetTexture(0, nullptr);
        device_->SetTexture(1, nullptr);
        device_->SetRenderState(D3DRS_LIGHTING, lighting);
        vertices->Release();
    }
};

TEST_F(ScenePassTest, TerrainPassesBlendRockAndGrassThroughTheMask) {
    const double d = 185.0 / 255.0;
    const int rock[3] = {200, 100, 50}, grass[3] = {20, 220, 40};
    IDirect3DTexture9* rockTexture = Solid(0xFFC86432);
    IDirect3DTexture9* grassTexture = Solid(0xFF14DC28);
    for (int alpha : {255, 128, 0}) {
        IDirect3DTexture9* mask = Solid(static_cast<DWORD>(alpha) << 24 | 0x00123456);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF7F7F7F, 1.0f, 0);
        TerrainPass(mask, rockTexture, false);
        const double a = alpha / 255.0;
        DWORD first = Pixel(8, 8);
        for (int c = 0; c < 3; ++c)  // frame = rock x d x a, whatever was there before
            EXPECT_NEAR(rock[c] * d * a, Channel(first, 16 - 8 * c), 1.0) << "alpha " << alpha << " channel " << c;
        TerrainPass(mask, grassTexture, true);
        DWORD second = Pixel(8, 8);
        for (int c = 0; c < 3; ++c) {
            double expected = grass[c] * d * (1 - a) + rock[c] * d * a * a;
            EXPECT_NEAR(expected, Channel(second, 16 - 8 * c), 1.5) << "alpha " << alpha << " channel " << c;
        }
        mask->Release();
    }
    rockTexture->Release();
    grassTexture->Release();
}

// Where the mask is 0 the rock pass writes black and where it is 255 the grass pass leaves the
// frame as it was, whatever the ground texture; a mask edge inside a block of pixels must still
// take both textures into account on either side of it.
TEST_F(ScenePassTest, TerrainPassesAcrossAMaskEdge) {
    const double d = 185.0 / 255.0;
    const int rock[3] = {200, 100, 50}, grass[3] = {20, 220, 40};
    IDirect3DTexture9* rockTexture = Solid(0xFFC86432);
    IDirect3DTexture9* grassTexture = Solid(0xFF14DC28);
    // One texel per pixel, half a texel apart: pixel x filters texels x - 1 and x, so alpha is 0
    // up to pixel 5, 127.5 (rounded to 128) at pixel 6 and 255 from pixel 7 on.
    IDirect3DTexture9* mask =
        MakeTexture(16, 16, 1, [](UINT, UINT x, UINT) { return x < 6 ? 0x00123456u : 0xFF123456u; });
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF7F7F7F, 1.0f, 0);
    TerrainPass(mask, rockTexture, false);
    DWORD first[16];
    for (int x = 0; x < 16; ++x) first[x] = Pixel(x, 8);
    TerrainPass(mask, grassTexture, true);
    for (int x = 0; x < 16; ++x) {
        const double a = x <= 5 ? 0.0 : x == 6 ? 128.0 / 255.0 : 1.0;
        const DWORD second = Pixel(x, 8);
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(rock[c] * d * a, Channel(first[x], 16 - 8 * c), 1.0) << "pixel " << x << " channel " << c;
            EXPECT_NEAR(grass[c] * d * (1 - a) + rock[c] * d * a * a, Channel(second, 16 - 8 * c), 1.5)
                << "pixel " << x << " channel " << c;
        }
    }
    mask->Release();
    rockTexture->Release();
    grassTexture->Release();
}

// The viewer's back buffer has no alpha; one that has keeps the blended alpha of both passes:
// a x a, then a (1 - a) + (a x a) a.
TEST_F(ScenePassTest, TerrainPassesBlendTheAlphaOfABackBufferThatHasOne) {
    Prepare(D3DFMT_A8R8G8B8);
    IDirect3DTexture9* ground = Solid(0xFFC86432);
    IDirect3DTexture9* mask = Solid(0x80123456);
    const double a = 128.0 / 255.0;
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF7F7F7F, 1.0f, 0);
    TerrainPass(mask, ground, false);
    const double first = std::round(255 * a * a);  // 64.25 -> 64
    EXPECT_NEAR(first, Channel(Pixel(8, 8), 24), 0.5);
    TerrainPass(mask, ground, true);
    EXPECT_NEAR(255 * a * (1 - a) + first * a, Channel(Pixel(8, 8), 24), 1.0);  // 95.9
    mask->Release();
    ground->Release();
}

// The viewer issues the passes back to back, which the device draws together; reading a pixel
// between them makes it draw the first before it sees the second. The frames must not differ.
class TerrainPairTest : public ScenePassTest {
protected:
    void SetUp() override {
        ScenePassTest::SetUp();
        // Like the scene, each pass loads its own copy of the mask.
        auto mask = [](UINT level, UINT x, UINT y) { return ((x * 85 + y * 20 + level * 40) % 256) << 24 | 0x123456; };
        masks_[0] = MakeTexture(4, 4, 0, mask);
        masks_[1] = MakeTexture(4, 4, 0, mask);
        rock_ = MakeTexture(2, 2, 0,
                            [](UINT, UINT x, UINT y) { return 0xFF000000 | (x * 0xA0u + y * 0x3000u + 0x402000u); });
        grass_ = MakeTexture(2, 2, 0,
                             [](UINT, UINT x, UINT y) { return 0xFF000000 | (y * 0x90u + x * 0x600000u + 0x10C020u); });
    }
    void TearDown() override {
        for (IDirect3DTexture9* texture : {masks_[0], masks_[1], rock_, grass_}) texture->Release();
        ScenePassTest::TearDown();
    }

    // Both passes over a frame cleared to grey, the second drawn after the first is finished or
    // recorded right after it.
    std::vector<std::uint32_t> Passes(bool oneByOne, const std::vector<std::uint16_t>& indices) {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF7F7F7F, 1.0f, 0);
        TerrainPass(masks_[0], rock_, false, indices);
        if (oneByOne) Pixel(0, 0);
        TerrainPass(masks_[1], grass_, true, indices);
        return Frame();
    }

    // Presents the frame; how many draws it drew together with the draw before them.
    std::uint32_t PresentPairedDraws() {
        device_->Present(nullptr, nullptr, nullptr, nullptr);
        FrameStatistics statistics{};
        EXPECT_TRUE(GetFrameStatistics(device_, &statistics));
        return statistics.pairedDraws;
    }

    // Writes one texel of level 0.
    static void WriteTexel(IDirect3DTexture9* texture, LONG x, LONG y, DWORD value) {
        const RECT one{x, y, x + 1, y + 1};
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(D3D_OK, texture->LockRect(0, &locked, &one, 0));
        *static_cast<DWORD*>(locked.pBits) = value;
        texture->UnlockRect(0);
    }

    IDirect3DTexture9* masks_[2] = {};
    IDirect3DTexture9* rock_ = nullptr;
    IDirect3DTexture9* grass_ = nullptr;
};

TEST_F(TerrainPairTest, PassesDrawnBackToBackMatchThePassesDrawnOneByOne) {
    const std::vector<std::uint16_t> quad{0, 1, 2, 0, 2, 3};
    const std::vector<std::uint32_t> together = Passes(false, quad);
    EXPECT_EQ(Passes(true, quad), together);
    EXPECT_NE(together[0], together[15 * 16 + 15]) << "the mask and textures vary over the quad";
}

// A triangle drawn twice meets its own pixels at equal depth: the second pass blends over the
// first pass's result once for each copy, so that grass shows more than where it is drawn once.
TEST_F(TerrainPairTest, ATriangleDrawnTwiceGetsTheSecondPassTwice) {
    const std::vector<std::uint16_t> twice{0, 1, 2, 0, 1, 2, 0, 2, 3};
    const std::vector<std::uint32_t> together = Passes(false, twice);
    EXPECT_EQ(Passes(true, twice), together);
    EXPECT_NE(Passes(true, {0, 1, 2, 0, 2, 3}), together);
}

// The passes pair while their two masks hold the same texels, frame after frame, and not while
// they differ: a mask written between frames stops the pair, and writing its texels back brings
// the pair back.
TEST_F(TerrainPairTest, PassesPairOnlyWhileTheirMasksHoldTheSameTexels) {
    const std::vector<std::uint16_t> quad{0, 1, 2, 0, 2, 3};
    const std::vector<std::uint32_t> matched = Passes(false, quad);
    EXPECT_EQ(1u, PresentPairedDraws());
    EXPECT_EQ(Passes(false, quad), matched);
    EXPECT_EQ(1u, PresentPairedDraws());

    const DWORD original = ((85 + 20) % 256) << 24 | 0x123456;  // texel (1, 1)
    WriteTexel(masks_[1], 1, 1, 0xFF123456);
    const std::vector<std::uint32_t> differing = Passes(false, quad);
    EXPECT_EQ(0u, PresentPairedDraws());
    EXPECT_NE(differing, matched) << "the second pass sees its own mask";
    EXPECT_EQ(Passes(true, quad), differing);
    PresentPairedDraws();

    WriteTexel(masks_[1], 1, 1, original);
    EXPECT_EQ(Passes(false, quad), matched);
    EXPECT_EQ(1u, PresentPairedDraws());
}

TEST_F(ScenePassTest, WaterAddsItsColourToTheFrameScaledByTheMaskAlpha) {
    IDirect3DTexture9* rock = Solid(0xFF000000);
    IDirect3DTexture9* caustic = Solid(0xFF80FFFF);
    const int frame[3] = {40, 60, 200};
    for (int alpha : {255, 128, 0}) {
        // The terrain first, for the stage states the water relies on.
        TerrainPass(rock, rock, false);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF283CC8, 1.0f, 0);
        IDirect3DTexture9* mask = Solid(static_cast<DWORD>(alpha) << 24 | 0x00FF8040);
        WaterPass(mask, caustic);
        // Water colour = mask x caustic = (255 x 128, 128 x 255, 64 x 255) / 255 = (128, 128, 64).
        const int water[3] = {128, 128, 64};
        DWORD pixel = Pixel(8, 8);
        for (int c = 0; c < 3; ++c) {
            double expected = std::min(255.0, alpha / 255.0 * (water[c] + frame[c]));
            EXPECT_NEAR(expected, Channel(pixel, 16 - 8 * c), 1.0) << "alpha " << alpha << " channel " << c;
        }
        mask->Release();
    }
    rock->Release();
    caustic->Release();
}

}  // namespace
}  // namespace reference::testing
