// The two passes drawn on the reference device, with pixel values worked out from the blending
// rules, and the textures they draw with.

#include <string>

#include "image_writer.h"
#include "terrain_fixture.h"

namespace {

using terrain_test::TerrainTest;

constexpr D3DCOLOR kRoche = 0xFFC86428;  // 200, 100, 40
constexpr D3DCOLOR kHerbe = 0xFF28B478;  // 40, 180, 120
constexpr D3DCOLOR kDejaLa = 0xFF3080C0;

// A flat 4 × 4 grid (x and z from -2 to 1) seen from straight above: x across the screen, z up
// it, the height as depth. A light from straight above at half strength makes the lit colour
// half of white.
class TopViewTest : public TerrainTest {
protected:
    void SetUp() override {
        TerrainTest::SetUp();
        ASSERT_EQ(Build(
                      4, 4, [](int, int) { return 0; }, 1.0f, 1.0f),
                  S_OK);
        D3DMATRIX vueDessus{};
        vueDessus._11 = 0.5f;  // x
        vueDessus._23 = 0.1f;  // y, the height, as depth
        vueDessus._32 = 0.5f;  // z
        vueDessus._43 = 0.5f;
        vueDessus._44 = 1.0f;
        device->SetTransform(D3DTS_PROJECTION, &vueDessus);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

        D3DMATERIAL9 materiau{};
        materiau.Diffuse = {1, 1, 1, 1};
        device->SetMaterial(&materiau);
        D3DLIGHT9 lumiere{};
        lumiere.Type = D3DLIGHT_DIRECTIONAL;
        lumiere.Diffuse = {0.5f, 0.5f, 0.5f, 0};
        lumiere.Direction = {0, -1, 0};
        lumiere.Range = 1000;
        device->SetLight(0, &lumiere);
        device->LightEnable(0, TRUE);
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kDejaLa, 1.0f, 0);
    }

    void Draw(int secondePasse) {
        device->BeginScene();
        terrain.Dessiner(secondePasse);
        device->EndScene();
    }

    // Inside the grid, away from its edges: world (-0.5, -0.5).
    std::uint32_t Ground() { return Pixel(12, 20); }
};

class PassesTest : public TopViewTest, public ::testing::WithParamInterface<int> {};

int Channel(std::uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

void ExpectColour(std::uint32_t actual, double r, double g, double b) {
    EXPECT_NEAR(Channel(actual, 16), r, 2.0) << std::hex << actual;
    EXPECT_NEAR(Channel(actual, 8), g, 2.0) << std::hex << actual;
    EXPECT_NEAR(Channel(actual, 0), b, 2.0) << std::hex << actual;
}

TEST_P(PassesTest, BlendsRockAndGrassThroughTheMaskAlpha) {
    const double a = GetParam() / 255.0;
    terrain.texMasque = SolidTexture(static_cast<D3DCOLOR>(GetParam()) << 24 | 0xFFFFFF);
    terrain.texSol = SolidTexture(kRoche);

    // Whatever was there gives way to rock × light × alpha.
    Draw(0);
    ExpectColour(Ground(), 200 * 0.5 * a, 100 * 0.5 * a, 40 * 0.5 * a);

    // The grass pass over the same depths.
    terrain.texSol->Release();
    terrain.texSol = SolidTexture(kHerbe);
    Draw(1);
    const double roche = 0.5 * a * a;
    const double herbe = 0.5 * (1 - a);
    ExpectColour(Ground(), 40 * herbe + 200 * roche, 180 * herbe + 100 * roche, 120 * herbe + 40 * roche);
}

INSTANTIATE_TEST_SUITE_P(MaskAlpha, PassesTest, ::testing::Values(255, 0, 128),
                         [](const auto& info) { return "Alpha" + std::to_string(info.param); });

TEST_F(TopViewTest, LeavesBlendingOffAndNothingBoundButTheStageSettingsInPlace) {
    terrain.texMasque = SolidTexture(0xFFFFFFFF);
    terrain.texSol = SolidTexture(kRoche);
    Draw(1);

    auto renderState = [&](D3DRENDERSTATETYPE state) {
        DWORD value = 0xDEAD;
        device->GetRenderState(state, &value);
        return value;
    };
    EXPECT_EQ(renderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(renderState(D3DRS_SRCBLEND), D3DBLEND_INVSRCALPHA);
    EXPECT_EQ(renderState(D3DRS_DESTBLEND), D3DBLEND_SRCALPHA);
    for (DWORD stage : {0u, 1u}) {
        IDirect3DBaseTexture9* bound = terrain.texSol;
        device->GetTexture(stage, &bound);
        EXPECT_EQ(bound, nullptr) << stage;
    }
    IDirect3DIndexBuffer9* indices = terrain.indexBuffer;
    device->GetIndices(&indices);
    EXPECT_EQ(indices, nullptr);

    // The mask clamps, the ground wraps, both filter linearly; the water drawn next relies on the
    // stage alpha settings.
    struct Expected {
        DWORD stage, state, value;
    };
    for (Expected e : {Expected{0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP},
                       {0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP},
                       {1, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP},
                       {1, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP},
                       {0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR},
                       {1, D3DSAMP_MINFILTER, D3DTEXF_LINEAR}}) {
        DWORD value = 0;
        device->GetSamplerState(e.stage, e.state, &value);
        EXPECT_EQ(value, e.value) << "sampler " << e.stage << " state " << e.state;
    }
    for (Expected e : {Expected{0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1},
                       {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE},
                       {1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1},
                       {1, D3DTSS_ALPHAARG1, D3DTA_CURRENT}}) {
        DWORD value = 0;
        device->GetTextureStageState(e.stage, e.state, &value);
        EXPECT_EQ(value, e.value) << "stage " << e.stage << " state " << e.state;
    }
}

TEST_F(TopViewTest, ATerrainWithoutItsImageDrawsNothing) {
    terrain.Liberer();
    EXPECT_EQ(terrain.Init(Missing().c_str(), &device, 1.0f, 1.0f, 0.02f), E_FAIL);
    Draw(0);
    EXPECT_EQ(Ground(), kDejaLa);
}

// The mask goes to stage 0 and the ground to stage 1; told apart here by their sizes.
TEST_F(TerrainTest, LoadsTheMaskAndTheGroundAndReplacesThemOnReload) {
    const std::string masque = (root_ / "mask.png").string();
    const std::string sol = (root_ / "sol.png").string();
    ASSERT_TRUE(tools::WritePng(masque, std::vector<std::uint32_t>(4 * 4, 0xFF808080), 4, 4));
    ASSERT_TRUE(tools::WritePng(sol, std::vector<std::uint32_t>(8 * 8, 0xFF408020), 8, 8));
    // Without its height image the terrain still knows its device, and takes its textures.
    EXPECT_EQ(terrain.Init(Missing().c_str(), &device, 0.3f, 0.3f, 0.02f), E_FAIL);
    terrain.ChargerTextures(masque.c_str(), sol.c_str());
    ASSERT_NE(terrain.texMasque, nullptr);
    ASSERT_NE(terrain.texSol, nullptr);
    D3DSURFACE_DESC desc{};
    terrain.texMasque->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 4u);
    terrain.texSol->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 8u);

    // Loading again gives the first textures back; a file that cannot be loaded leaves its
    // stage empty.
    IUnknown* first[] = {terrain.texMasque, terrain.texSol};
    for (IUnknown* texture : first) texture->AddRef();
    terrain.ChargerTextures(masque.c_str(), Missing().c_str());
    for (IUnknown* texture : first) EXPECT_EQ(texture->Release(), 0u);
    EXPECT_NE(terrain.texMasque, nullptr);
    EXPECT_EQ(terrain.texSol, nullptr);
}

}  // namespace
