// What colour pixels get: directional lighting with the material, the specular colour, the
// texture stages as the terrain and the water combine them, the alpha test of the trees, and
// blending. Expected values are worked out by hand from the fixed-function rules.
#include <cmath>

#include "drawing.h"

namespace devices::testing {
namespace {

constexpr D3DCOLOR kBlack = 0xFF000000;

using ShadingTest = DeviceTest;

// A quad facing the viewer (normal towards -z, Direction's eye space) over the whole buffer.
std::vector<LitVertex> FacingQuad(float normalLength = 1.0f) {
    const float n = -normalLength;
    return {{-1, 1, 0.5f, 0, 0, n, 0, 0, 0, 0},
            {1, 1, 0.5f, 0, 0, n, 1, 0, 1, 0},
            {1, -1, 0.5f, 0, 0, n, 1, 1, 1, 1},
            {-1, -1, 0.5f, 0, 0, n, 0, 1, 0, 1}};
}

D3DLIGHT9 WhiteLight(float x, float y, float z) {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = {x, y, z};
    light.Range = 1000.0f;
    return light;
}

D3DMATERIAL9 Material(float r, float g, float b) {
    D3DMATERIAL9 material{};
    material.Diffuse = {r, g, b, 1.0f};
    material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    return material;
}

D3DCOLOR Grey(double level) {
    const auto v = static_cast<DWORD>(std::lround(std::min(level, 1.0) * 255.0));
    return D3DCOLOR_XRGB(v, v, v);
}

TEST_P(ShadingTest, DirectionalLightingWithTheMaterialAndAmbient) {
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);  // the lit colour alone
    device_->SetRenderState(D3DRS_AMBIENT, 0x00202020);
    const double ambient = 32.0 / 255.0;
    D3DMATERIAL9 material = Material(1.0f, 0.5f, 0.25f);
    device_->SetMaterial(&material);
    D3DLIGHT9 light = WhiteLight(0, 0, 1);  // straight onto the quad
    device_->SetLight(0, &light);
    device_->LightEnable(0, TRUE);
    DrawFan(device_, FacingQuad(), kLitFvf);
    EXPECT_COLOUR_NEAR(D3DCOLOR_XRGB(255, 160, 96), Pixel(32, 32), Tolerance().colour);

    // The scene's slant: (0, -2, 1) normalised lights the quad by 1 / sqrt(5).
    material = Material(1.0f, 1.0f, 1.0f);
    device_->SetMaterial(&material);
    light = WhiteLight(0, -2.0f / std::sqrt(5.0f), 1.0f / std::sqrt(5.0f));
    device_->SetLight(0, &light);
    const double lit = ambient + 1.0 / std::sqrt(5.0);
    DrawFan(device_, FacingQuad(), kLitFvf);
    EXPECT_COLOUR_NEAR(Grey(lit), Pixel(32, 32), Tolerance().colour);

    // Short normals light less unless they are normalised.
    DrawFan(device_, FacingQuad(0.5f), kLitFvf);
    EXPECT_COLOUR_NEAR(Grey(ambient + 0.5 / std::sqrt(5.0)), Pixel(32, 32), Tolerance().colour);
    device_->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    DrawFan(device_, FacingQuad(0.5f), kLitFvf);
    EXPECT_COLOUR_NEAR(Grey(lit), Pixel(32, 32), Tolerance().colour);

    // A light from behind gives the ambient part only; a disabled light nothing at all.
    light = WhiteLight(0, 0, -1);
    device_->SetLight(0, &light);
    DrawFan(device_, FacingQuad(), kLitFvf);
    EXPECT_COLOUR_NEAR(Grey(ambient), Pixel(32, 32), Tolerance().colour);
    device_->SetRenderState(D3DRS_AMBIENT, 0);
    device_->LightEnable(0, FALSE);
    DrawFan(device_, FacingQuad(), kLitFvf);
    EXPECT_COLOUR_NEAR(kBlack, Pixel(32, 32), 0);
}

TEST_P(ShadingTest, SpecularIsAddedOnlyWhenEnabled) {
    UseVertexColours(device_);
    const std::vector<SpecularVertex> quad = {{-1, 1, 0.5f, 0xFF404040, 0xFF102030},
                                              {1, 1, 0.5f, 0xFF404040, 0xFF102030},
                                              {1, -1, 0.5f, 0xFF404040, 0xFF102030},
                                              {-1, -1, 0.5f, 0xFF404040, 0xFF102030}};
    DrawFan(device_, quad, kSpecularFvf);
    EXPECT_COLOUR_NEAR(0xFF404040u, Pixel(10, 10), 0);
    device_->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    DrawFan(device_, quad, kSpecularFvf);
    EXPECT_COLOUR_NEAR(0xFF506070u, Pixel(10, 10), Tolerance().colour);
}

TEST_P(ShadingTest, StageZeroModulatesTheTextureWithTheVertexColour) {
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    const std::uint32_t texels[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x80FFFFFF};
    IDirect3DTexture9* texture = MakeTexture(device_, 2, 2, D3DFMT_A8R8G8B8, texels, 8, 2);
    device_->SetTexture(0, texture);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    DrawFan(device_, TexturedRectangle(width_, 0, 0, 32, 32, 1, 1, 0xFF808080), kTexturedFvf);
    EXPECT_COLOUR_NEAR(0xFF800000u, Pixel(8, 8), Tolerance().colour);
    EXPECT_COLOUR_NEAR(0xFF008000u, Pixel(24, 8), Tolerance().colour);
    EXPECT_COLOUR_NEAR(0xFF000080u, Pixel(8, 24), Tolerance().colour);
    EXPECT_COLOUR_NEAR(0xFF808080u, Pixel(24, 24), Tolerance().colour);
    device_->SetTexture(0, nullptr);
    EXPECT_EQ(1u, References(texture)) << "unbinding gave the device's reference back";
    texture->Release();
}

TEST_P(ShadingTest, AStageWithoutItsTextureReadsOpaqueWhite) {
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    // Default stages: colour = texture x diffuse, alpha = texture alpha; no texture bound.
    DrawFan(device_, Rectangle(width_, 0, 0, 32, 32, 0x20C08040), kColouredFvf);
    EXPECT_COLOUR_NEAR(0xFFC08040u, Pixel(10, 10), Tolerance().colour)
        << "the vertex alpha (0x20) does not reach the blend";
}

// The terrain's two passes (rock, then grass through the mask): colour = diffuse x ground from
// stage 1, alpha = mask alpha from stage 0, blended SRCALPHA/ZERO then INVSRCALPHA/SRCALPHA.
TEST_P(ShadingTest, TerrainPassesBlendTwoGroundsThroughTheMaskAlpha) {
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    const std::uint32_t mask = 0x80FFFFFF, rock = 0xFFC86400, grass = 0xFF0064C8;
    IDirect3DTexture9* maskTexture = MakeTexture(device_, 1, 1, D3DFMT_A8R8G8B8, &mask, 4, 1);
    IDirect3DTexture9* rockTexture = MakeTexture(device_, 1, 1, D3DFMT_A8R8G8B8, &rock, 4, 1);
    IDirect3DTexture9* grassTexture = MakeTexture(device_, 1, 1, D3DFMT_A8R8G8B8, &grass, 4, 1);
    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device_->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    device_->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TEXTURE);
    device_->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_CURRENT);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    const std::vector<TwoSetVertex> quad = {{-1, 1, 0.5f, 0xFFFFFFFF, 0, 0, 0, 0},
                                            {1, 1, 0.5f, 0xFFFFFFFF, 1, 0, 1, 0},
                                            {1, -1, 0.5f, 0xFFFFFFFF, 1, 1, 1, 1},
                                            {-1, -1, 0.5f, 0xFFFFFFFF, 0, 1, 0, 1}};
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF00FF00, 1.0f, 0);
    device_->SetTexture(0, maskTexture);
    device_->SetTexture(1, rockTexture);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    DrawFan(device_, quad, kTwoSetFvf);
    const double a = 128.0 / 255.0;
    // rock x a, whatever was there before
    EXPECT_COLOUR_NEAR(D3DCOLOR_XRGB(std::lround(200 * a), std::lround(100 * a), 0), Pixel(20, 20), Tolerance().colour);
    device_->SetTexture(1, grassTexture);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_INVSRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCALPHA);
    DrawFan(device_, quad, kTwoSetFvf);
    // grass x (1 - a) + rock x a x a
    const double r = 100 * a, g = 100 * (1 - a) + 50 * a, b = 200 * (1 - a);
    EXPECT_COLOUR_NEAR(D3DCOLOR_XRGB(std::lround(r), std::lround(g), std::lround(b)), Pixel(20, 20),
                       Tolerance().colour);
    device_->SetTexture(0, nullptr);
    device_->SetTexture(1, nullptr);
    for (IDirect3DTexture9* texture : {maskTexture, rockTexture, grassTexture}) EXPECT_EQ(0u, texture->Release());
}

TEST_P(ShadingTest, AlphaTestDropsTexelsBelowTheReference) {
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device_->SetRenderState(D3DRS_ALPHAREF, 8);
    device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    const std::uint32_t texels[2] = {0x07FF0000, 0x0800FF00};  // alpha 7, then 8
    IDirect3DTexture9* texture = MakeTexture(device_, 2, 1, D3DFMT_A8R8G8B8, texels, 8, 1);
    device_->SetTexture(0, texture);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    DrawFan(device_, TexturedRectangle(width_, 0, 0, 32, 32, 1, 1), kTexturedFvf);
    EXPECT_EQ(kBlack, Pixel(8, 8)) << "alpha 7 is not drawn";
    EXPECT_EQ(0xFF00FF00u, Pixel(24, 8)) << "alpha 8 is";
    device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_LESS);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    DrawFan(device_, TexturedRectangle(width_, 0, 0, 32, 32, 1, 1), kTexturedFvf);
    EXPECT_EQ(0xFFFF0000u, Pixel(8, 8));
    EXPECT_EQ(kBlack, Pixel(24, 8));
    device_->SetTexture(0, nullptr);
    texture->Release();
}

// The water's blend: SRCALPHA on both sides, so a x (water + frame).
TEST_P(ShadingTest, WaterBlendAddsThenScalesByTheSourceAlpha) {
    UseVertexColours(device_);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCALPHA);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(100, 50, 0), 1.0f, 0);
    DrawFan(device_, Rectangle(width_, 0, 0, 64, 64, D3DCOLOR_ARGB(128, 100, 200, 40)), kColouredFvf);
    const double a = 128.0 / 255.0;
    EXPECT_COLOUR_NEAR(D3DCOLOR_XRGB(std::lround(200 * a), std::lround(250 * a), std::lround(40 * a)), Pixel(5, 5),
                       Tolerance().colour);
    // Opaque water over a bright frame saturates at white.
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(200, 200, 200), 1.0f, 0);
    DrawFan(device_, Rectangle(width_, 0, 0, 64, 64, D3DCOLOR_ARGB(255, 100, 100, 0)), kColouredFvf);
    EXPECT_COLOUR_NEAR(D3DCOLOR_XRGB(255, 255, 200), Pixel(5, 5), 0);
}

TEST_P(ShadingTest, StageOperationsAndArgumentModifiers) {
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetRenderState(D3DRS_TEXTUREFACTOR, D3DCOLOR_ARGB(64, 10, 20, 30));
    const std::uint32_t texel = 0xC0604020;
    IDirect3DTexture9* texture = MakeTexture(device_, 1, 1, D3DFMT_A8R8G8B8, &texel, 4, 1);
    device_->SetTexture(0, texture);
    struct Case {
        DWORD op, arg1, arg2;
        D3DCOLOR expected;
    };
    const D3DCOLOR diffuse = D3DCOLOR_ARGB(255, 0x40, 0x80, 0xC0);
    const Case cases[] = {
        {D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DCOLOR_XRGB(0xA0, 0xC0, 0xE0)},
        {D3DTOP_SUBTRACT, D3DTA_DIFFUSE, D3DTA_TEXTURE, D3DCOLOR_XRGB(0x00, 0x40, 0xA0)},
        {D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DCOLOR_XRGB(0x30, 0x40, 0x30)},
        {D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_DIFFUSE, D3DCOLOR_XRGB(10, 20, 30)},
        {D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_DIFFUSE, D3DCOLOR_XRGB(0x9F, 0xBF, 0xDF)},
        {D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE, D3DTA_DIFFUSE, D3DCOLOR_XRGB(0xC0, 0xC0, 0xC0)},
        {D3DTOP_BLENDTEXTUREALPHA, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DCOLOR_XRGB(0x58, 0x50, 0x48)},
    };
    D3DCAPS9 caps{};
    ASSERT_EQ(D3D_OK, device_->GetDeviceCaps(&caps));
    for (const Case& c : cases) {
        // Each device is held to the operations its capabilities promise (bit op - 1).
        if ((caps.TextureOpCaps & (1u << (c.op - 1))) == 0) continue;
        device_->SetTextureStageState(0, D3DTSS_COLOROP, c.op);
        device_->SetTextureStageState(0, D3DTSS_COLORARG1, c.arg1);
        device_->SetTextureStageState(0, D3DTSS_COLORARG2, c.arg2);
        DrawFan(device_, Rectangle(width_, 0, 0, 64, 64, diffuse), kColouredFvf);
        EXPECT_COLOUR_NEAR(c.expected, Pixel(5, 5), Tolerance().colour) << "operation " << c.op;
    }
    device_->SetTexture(0, nullptr);
    texture->Release();
}

INSTANTIATE_TEST_SUITE_P(Devices, ShadingTest, DEVICE_FACTORIES, FACTORY_NAME);

}  // namespace
}  // namespace devices::testing
