// The vertex stage's lighting against the fixed-function formula: colour = material ambient x
// (global ambient + light ambient) + material diffuse x light diffuse x max(0, N.L) + emissive,
// each channel clamped, and the specular term added after the stages when it is enabled.
#include "draw_helpers.h"

namespace reference::testing {
namespace {

// D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE.
constexpr DWORD kLitFvf = 0x052;
// D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_SPECULAR: the colour slot holds the specular colour.
constexpr DWORD kSpecularFvf = 0x092;

struct LitVertex {
    float x, y, z;
    float nx, ny, nz;
    DWORD colour;
};

class LightingTest : public DrawTest {
protected:
    void SetUp() override {
        CreateDevice(16, 16);
        Configure();
    }

    void Configure() {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device_->SetRenderState(D3DRS_AMBIENT, 0x00202020);  // the viewer's global ambient
        material_.Diffuse = {1.0f, 0.2f, 0.0f, 1.0f};
        material_.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
        device_->SetMaterial(&material_);
        light_.Type = D3DLIGHT_DIRECTIONAL;
        light_.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
        light_.Direction = {0.0f, 0.0f, 2.0f};  // need not be unit length
        device_->SetLight(0, &light_);
        device_->LightEnable(0, TRUE);
    }

    // A full-screen quad whose vertices all carry this normal.
    DWORD LitQuad(float nx, float ny, float nz, DWORD fvf = kLitFvf & ~D3DFVF_DIFFUSE, DWORD colour = 0) {
        LitVertex quad[4] = {{-1, 1, 0.5f, nx, ny, nz, colour},
                             {1, 1, 0.5f, nx, ny, nz, colour},
                             {1, -1, 0.5f, nx, ny, nz, colour},
                             {-1, -1, 0.5f, nx, ny, nz, colour}};
        UINT stride = (fvf & (D3DFVF_DIFFUSE | D3DFVF_SPECULAR)) ? sizeof(LitVertex) : 24;
        IDirect3DVertexBuffer9* buffer = nullptr;
        device_->CreateVertexBuffer(sizeof quad, 0, fvf, D3DPOOL_DEFAULT, &buffer, nullptr);
        void* data = nullptr;
        buffer->Lock(0, 0, &data, 0);
        for (int i = 0; i < 4; ++i) std::memcpy(static_cast<std::uint8_t*>(data) + i * stride, &quad[i], stride);
        buffer->Unlock();
        device_->SetFVF(fvf);
        device_->SetStreamSource(0, buffer, 0, stride);
        buffer->Release();
        device_->BeginScene();
        device_->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2);
        device_->EndScene();
        return Pixel(8, 8);
    }

    // A black material with a white highlight of power 2, the light's specular at half, no
    // ambient light: what shows is the specular term alone.
    void WhiteHighlights() {
        material_ = D3DMATERIAL9{};
        material_.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
        material_.Power = 2.0f;
        device_->SetMaterial(&material_);
        light_.Specular = {0.5f, 0.5f, 0.5f, 0.0f};
        light_.Direction = {0.0f, -0.6f, -0.8f};  // towards the light: (0, 0.6, 0.8)
        device_->SetLight(0, &light_);
        device_->SetRenderState(D3DRS_AMBIENT, 0);
    }

    D3DMATERIAL9 material_{};
    D3DLIGHT9 light_{};
};

TEST_F(LightingTest, DiffuseAndAmbientFollowTheFormula) {
    // N.L = 0.6: red 32 + 255 x 0.6 = 185, green 32 + 255 x 0.2 x 0.6 = 62.6, blue 32.
    EXPECT_TRUE(Near(LitQuad(0.8f, 0.0f, -0.6f), 255, 185, 63, 32));
    // Facing away from the light: the ambient term alone.
    EXPECT_TRUE(Near(LitQuad(0.0f, 0.0f, 1.0f), 255, 32, 32, 32));
}

TEST_F(LightingTest, LightAmbientEmissiveAndSaturation) {
    light_.Ambient = {0.2f, 0.2f, 0.2f, 0.0f};  // + 51 on each channel
    device_->SetLight(0, &light_);
    material_.Emissive = {0.0f, 0.0f, 0.4f, 0.0f};  // + 102 on blue
    device_->SetMaterial(&material_);
    // Red 185 + 51 = 236, green 62.6 + 51 = 113.6, blue 32 + 51 + 102 = 185.
    EXPECT_TRUE(Near(LitQuad(0.8f, 0.0f, -0.6f), 255, 236, 114, 185));
    material_.Diffuse = {4.0f, 0.2f, 0.0f, 0.5f};  // red saturates; alpha is the diffuse alpha
    device_->SetMaterial(&material_);
    EXPECT_TRUE(Near(LitQuad(0.8f, 0.0f, -0.6f), 255, 255, -1, -1));
    CreateDevice(16, 16, D3DFMT_A8R8G8B8);
    Configure();
    material_.Diffuse.a = 0.5f;
    device_->SetMaterial(&material_);
    device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    EXPECT_TRUE(Near(LitQuad(0.8f, 0.0f, -0.6f), 128, -1, -1, -1));
}

TEST_F(LightingTest, VertexColourReplacesTheMaterialDiffuse) {
    // COLORVERTEX with DIFFUSEMATERIALSOURCE COLOR1 (the defaults): green at N.L = 0.6.
    EXPECT_TRUE(Near(LitQuad(0.8f, 0.0f, -0.6f, kLitFvf, 0xFF00FF00), 255, 32, 185, 32));
    device_->SetRenderState(D3DRS_COLORVERTEX, FALSE);
    EXPECT_TRUE(Near(LitQuad(0.8f, 0.0f, -0.6f, kLitFvf, 0xFF00FF00), 255, 185, 63, 32));
}

TEST_F(LightingTest, LightingOffPassesVertexColoursOrWhite) {
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    EXPECT_EQ(0xFF336699u, LitQuad(0.8f, 0.0f, -0.6f, kLitFvf, 0xFF336699));
    EXPECT_EQ(0xFFFFFFFFu, LitQuad(0.8f, 0.0f, -0.6f)) << "no vertex colour: opaque white";
}

TEST_F(LightingTest, SpecularIsAddedOnlyWhenEnabled) {
    WhiteHighlights();
    device_->SetRenderState(D3DRS_LOCALVIEWER, FALSE);
    // Without a local viewer the half vector is norm((0, 0.6, 0.8) + (0, 0, 1)) = (0, 0.316, 0.949):
    // with N = (0, 0, 1), (N.H)^2 = 0.9 and specular = 0.5 x 0.9 = 0.45, 114.75.
    EXPECT_EQ(0xFF000000u, LitQuad(0.0f, 0.0f, 1.0f));
    device_->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    EXPECT_TRUE(Near(LitQuad(0.0f, 0.0f, 1.0f), 255, 115, 115, 115));
}

TEST_F(LightingTest, LocalViewerHighlightsFollowEachVertexAndBlackMaterialsHaveNone) {
    WhiteHighlights();
    device_->SetRenderState(D3DRS_SPECULARENABLE, TRUE);  // LOCALVIEWER is on by default
    // The eye sits at the origin: the corner (-1, 1, 0.5) sees it along (1, -1, -0.5) / 1.5, so
    // H = norm((0.667, -0.067, 0.467)) and 0.5 (N.H)^2 gives 41.65; the corner (1, -1, 0.5) gives
    // 12.25. The centre pixel lies on the diagonal between them: 26.95.
    EXPECT_TRUE(Near(LitQuad(0.0f, 0.0f, 1.0f), 255, 27, 27, 27, 1));
    material_.Specular = {0.0f, 0.0f, 0.0f, 1.0f};
    device_->SetMaterial(&material_);
    EXPECT_EQ(0xFF000000u, LitQuad(0.0f, 0.0f, 1.0f));
}

TEST_F(LightingTest, SpecularFromTheVerticesIsAddedOverABlackMaterial) {
    WhiteHighlights();
    material_.Specular = {0.0f, 0.0f, 0.0f, 1.0f};
    device_->SetMaterial(&material_);
    device_->SetRenderState(D3DRS_LOCALVIEWER, FALSE);
    device_->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    // The specular material source defaults to the vertices' specular colour, white here: the
    // highlight is the 114.75 of SpecularIsAddedOnlyWhenEnabled.
    EXPECT_TRUE(Near(LitQuad(0.0f, 0.0f, 1.0f, kSpecularFvf, 0xFFFFFFFF), 255, 115, 115, 115));
    // Unlit, the vertices' specular colour is added as it stands to the stages' black.
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF000000);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    EXPECT_TRUE(Near(LitQuad(0.0f, 0.0f, 1.0f, kSpecularFvf, 0x00336699), 255, 0x33, 0x66, 0x99));
}

}  // namespace
}  // namespace reference::testing
