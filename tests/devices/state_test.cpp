// The device's state calls: the defaults the scene relies on, what is set reads back, and the
// references the device holds on what is bound.
#include "device_under_test.h"

namespace devices::testing {
namespace {

using StateTest = DeviceTest;

TEST_P(StateTest, StartsWithTheDocumentedDefaults) {
    struct Expected {
        D3DRENDERSTATETYPE state;
        DWORD value;
    };
    const Expected renderDefaults[] = {
        {D3DRS_ZENABLE, D3DZB_TRUE},
        {D3DRS_FILLMODE, D3DFILL_SOLID},
        {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
        {D3DRS_ZWRITEENABLE, TRUE},
        {D3DRS_ALPHATESTENABLE, FALSE},
        {D3DRS_SRCBLEND, D3DBLEND_ONE},
        {D3DRS_DESTBLEND, D3DBLEND_ZERO},
        {D3DRS_CULLMODE, D3DCULL_CCW},
        {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRS_ALPHAREF, 0},
        {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
        {D3DRS_ALPHABLENDENABLE, FALSE},
        {D3DRS_SPECULARENABLE, FALSE},
        {D3DRS_LIGHTING, TRUE},
        {D3DRS_AMBIENT, 0},
        {D3DRS_COLORVERTEX, TRUE},
        {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
        {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
        {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL},
        {D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu},
        {D3DRS_COLORWRITEENABLE, 0xF},
        {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    };
    for (const Expected& e : renderDefaults) {
        DWORD value = 0xDEADBEEF;
        ASSERT_EQ(D3D_OK, device_->GetRenderState(e.state, &value));
        EXPECT_EQ(e.value, value) << "render state " << e.state;
    }
    for (DWORD stage = 0; stage < 8; ++stage) {
        DWORD colourOp = 0, alphaOp = 0, index = 99, arg1 = 0, arg2 = 0;
        device_->GetTextureStageState(stage, D3DTSS_COLOROP, &colourOp);
        device_->GetTextureStageState(stage, D3DTSS_ALPHAOP, &alphaOp);
        device_->GetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, &index);
        device_->GetTextureStageState(stage, D3DTSS_COLORARG1, &arg1);
        device_->GetTextureStageState(stage, D3DTSS_COLORARG2, &arg2);
        EXPECT_EQ(stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE, colourOp);
        EXPECT_EQ(stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE, alphaOp);
        EXPECT_EQ(stage, index);
        EXPECT_EQ(D3DTA_TEXTURE, arg1);
        EXPECT_EQ(D3DTA_CURRENT, arg2);
    }
    DWORD address = 0, filter = 0, mip = 99;
    device_->GetSamplerState(1, D3DSAMP_ADDRESSU, &address);
    device_->GetSamplerState(1, D3DSAMP_MINFILTER, &filter);
    device_->GetSamplerState(1, D3DSAMP_MIPFILTER, &mip);
    EXPECT_EQ(D3DTADDRESS_WRAP, address);
    EXPECT_EQ(D3DTEXF_POINT, filter);
    EXPECT_EQ(D3DTEXF_NONE, mip);

    D3DVIEWPORT9 viewport{};
    device_->GetViewport(&viewport);
    EXPECT_EQ(static_cast<DWORD>(width_), viewport.Width);
    EXPECT_EQ(static_cast<DWORD>(height_), viewport.Height);
    EXPECT_EQ(1.0f, viewport.MaxZ);
    D3DMATRIX world{};
    device_->GetTransform(D3DTS_WORLD, &world);
    EXPECT_EQ(1.0f, world._11);
    EXPECT_EQ(0.0f, world._41);
}

TEST_P(StateTest, ReadsBackWhatWasSetAndRefusesUnknownSlots) {
    EXPECT_EQ(D3D_OK, device_->SetRenderState(D3DRS_ALPHAREF, 8));
    EXPECT_EQ(D3D_OK, device_->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_DIFFUSE));
    EXPECT_EQ(D3D_OK, device_->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP));
    EXPECT_EQ(D3D_OK, device_->SetFVF(0x212));
    DWORD value = 0;
    device_->GetRenderState(D3DRS_ALPHAREF, &value);
    EXPECT_EQ(8u, value);
    device_->GetTextureStageState(1, D3DTSS_COLORARG1, &value);
    EXPECT_EQ(D3DTA_DIFFUSE, value);
    device_->GetSamplerState(0, D3DSAMP_ADDRESSV, &value);
    EXPECT_EQ(D3DTADDRESS_CLAMP, value);
    device_->GetFVF(&value);
    EXPECT_EQ(0x212u, value);

    EXPECT_EQ(D3DERR_INVALIDCALL, device_->SetRenderState(D3DRS_COUNT, 1));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->GetRenderState(D3DRS_ZENABLE, nullptr));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_ADD));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->SetSamplerState(16, D3DSAMP_MINFILTER, D3DTEXF_LINEAR));
    D3DMATRIX any{};
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->SetTransform(1, &any));
}

TEST_P(StateTest, KeepsTransformsMaterialAndLights) {
    D3DMATRIX view{};
    view._11 = 2.0f;
    view._43 = -5.0f;
    device_->SetTransform(D3DTS_VIEW, &view);
    D3DMATRIX back{};
    device_->GetTransform(D3DTS_VIEW, &back);
    EXPECT_EQ(0, std::memcmp(&view, &back, sizeof view));

    D3DMATERIAL9 material{};
    material.Diffuse = {1, 0.5f, 0.25f, 1};
    material.Power = 3;
    device_->SetMaterial(&material);
    D3DMATERIAL9 material2{};
    device_->GetMaterial(&material2);
    EXPECT_EQ(0, std::memcmp(&material, &material2, sizeof material));

    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 0};
    light.Direction = {0.5f, -1, 0};
    light.Range = 1000;
    BOOL enabled = TRUE;
    D3DLIGHT9 light2{};
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->GetLight(0, &light2));
    EXPECT_EQ(D3D_OK, device_->SetLight(0, &light));
    EXPECT_EQ(D3D_OK, device_->GetLightEnable(0, &enabled));
    EXPECT_FALSE(enabled);
    EXPECT_EQ(D3D_OK, device_->LightEnable(0, TRUE));
    EXPECT_EQ(D3D_OK, device_->GetLightEnable(0, &enabled));
    EXPECT_TRUE(enabled);
    EXPECT_EQ(D3D_OK, device_->GetLight(0, &light2));
    EXPECT_EQ(0, std::memcmp(&light, &light2, sizeof light));

    // Enabling a light never set gives it the default white light pointing along +z.
    EXPECT_EQ(D3D_OK, device_->LightEnable(3, TRUE));
    EXPECT_EQ(D3D_OK, device_->GetLight(3, &light2));
    EXPECT_EQ(D3DLIGHT_DIRECTIONAL, light2.Type);
    EXPECT_EQ(1.0f, light2.Direction.z);
    light.Direction = {0, 0, 0};
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->SetLight(1, &light));
}

TEST_P(StateTest, SceneBracketsMustPair) {
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->EndScene());
    EXPECT_EQ(D3D_OK, device_->BeginScene());
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->BeginScene());
    EXPECT_EQ(D3D_OK, device_->EndScene());
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->EndScene());
}

TEST_P(StateTest, HoldsReferencesOnWhatIsBound) {
    IDirect3DTexture9* texture = nullptr;
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    ASSERT_EQ(D3D_OK, device_->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr));
    ASSERT_EQ(D3D_OK, device_->CreateVertexBuffer(96, 0, 0x112, D3DPOOL_DEFAULT, &vertices, nullptr));
    ASSERT_EQ(D3D_OK, device_->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &indices, nullptr));

    device_->SetTexture(1, texture);
    device_->SetTexture(1, texture);  // binding twice must not take two references
    device_->SetStreamSource(0, vertices, 0, 32);
    device_->SetIndices(indices);
    EXPECT_EQ(2u, References(texture));
    EXPECT_EQ(2u, References(vertices));
    EXPECT_EQ(2u, References(indices));

    IDirect3DBaseTexture9* bound = nullptr;
    ASSERT_EQ(D3D_OK, device_->GetTexture(1, &bound));
    EXPECT_EQ(static_cast<IDirect3DBaseTexture9*>(texture), bound);
    EXPECT_EQ(3u, References(texture));
    bound->Release();
    IDirect3DVertexBuffer9* stream = nullptr;
    UINT offset = 1, stride = 0;
    ASSERT_EQ(D3D_OK, device_->GetStreamSource(0, &stream, &offset, &stride));
    EXPECT_EQ(vertices, stream);
    EXPECT_EQ(0u, offset);
    EXPECT_EQ(32u, stride);
    stream->Release();

    // The application's own references can go first: the device keeps the objects alive.
    EXPECT_EQ(1u, texture->Release());
    EXPECT_EQ(1u, vertices->Release());
    device_->SetTexture(1, nullptr);
    device_->SetStreamSource(0, nullptr, 0, 0);
    IDirect3DIndexBuffer9* boundIndices = nullptr;
    device_->GetIndices(&boundIndices);
    EXPECT_EQ(indices, boundIndices);
    boundIndices->Release();
    device_->SetIndices(nullptr);
    EXPECT_EQ(0u, indices->Release());
}

TEST_P(StateTest, ReleasingTheDeviceGivesBackWhatItHolds) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3D_OK, device_->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr));
    device_->SetTexture(0, texture);
    DestroyDevice();
    EXPECT_EQ(1u, References(texture));
    IDirect3DDevice9* owner = reinterpret_cast<IDirect3DDevice9*>(1);
    EXPECT_EQ(D3DERR_INVALIDCALL, texture->GetDevice(&owner));
    EXPECT_EQ(0u, texture->Release());
}

INSTANTIATE_TEST_SUITE_P(Devices, StateTest, DEVICE_FACTORIES, FACTORY_NAME);

}  // namespace
}  // namespace devices::testing
