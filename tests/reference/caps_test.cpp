// What the reference device reports of itself: its capabilities, display mode, and the texture
// formats it creates and samples.
#include "device_fixture.h"

namespace reference::testing {
namespace {

using CapsTest = DeviceTest;

TEST_F(CapsTest, AnswersCapsModeAndAdapterQueries) {
    D3DCAPS9 caps{};
    ASSERT_EQ(D3D_OK, device_->GetDeviceCaps(&caps));
    EXPECT_EQ(D3DDEVTYPE_REF, caps.DeviceType);
    EXPECT_EQ(0u, caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
    EXPECT_NE(0u, caps.TextureCaps & D3DPTEXTURECAPS_MIPMAP);
    EXPECT_NE(0u, caps.TextureCaps & D3DPTEXTURECAPS_POW2);
    EXPECT_GE(caps.MaxTextureWidth, 1024u);
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(D3D_OK, device_->GetDisplayMode(0, &mode));
    EXPECT_EQ(D3DFMT_X8R8G8B8, mode.Format);
    IDirect3D9* adapter = reinterpret_cast<IDirect3D9*>(1);
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->GetDirect3D(&adapter));  // created without one
    EXPECT_EQ(nullptr, adapter);

    for (D3DFORMAT format : {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_L8, D3DFMT_A8L8, D3DFMT_DXT1, D3DFMT_DXT5})
        EXPECT_EQ(D3D_OK, Backend().checkFormat(0, D3DRTYPE_TEXTURE, format)) << format;
    for (D3DFORMAT format : {D3DFMT_R5G6B5, D3DFMT_A4R4G4B4, D3DFMT_R8G8B8, D3DFMT_P8, D3DFMT_A16B16G16R16F})
        EXPECT_EQ(D3DERR_NOTAVAILABLE, Backend().checkFormat(0, D3DRTYPE_TEXTURE, format)) << format;
}

}  // namespace
}  // namespace reference::testing
