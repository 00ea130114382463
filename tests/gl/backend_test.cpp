// The hardware device as the adapter sees it (offered only on hardware OpenGL unless software
// is allowed), what it reports, and what sets it apart from the reference device: GL state
// applied by difference, programs compiled once, GL objects tied to one context, and draws that
// must never let GL read outside a buffer.
#include <cstdlib>

#include "drawing.h"

namespace gl::testing {
namespace {

using namespace devices::testing;

constexpr D3DCOLOR kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00;

TEST(HardwareOffer, SoftwareOpenGlIsRefusedUnlessAllowed) {
    SKIP_WITHOUT_OPENGL();
    if (!gl::ProbedGl()->software) GTEST_SKIP() << "this machine's OpenGL is hardware: nothing to refuse";
    unsetenv("QUENOLDE_GL_ALLOW_SOFTWARE");
    D3DCAPS9 caps{};
    EXPECT_EQ(D3DERR_NOTAVAILABLE, Backend().getCaps(&caps));
    EXPECT_EQ(D3DERR_NOTAVAILABLE, Backend().checkFormat(0, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8));
    IDirect3DDevice9* device = nullptr;
    D3DPRESENT_PARAMETERS p = Parameters(64, 64);
    EXPECT_EQ(D3DERR_NOTAVAILABLE, Backend().create(nullptr, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, p, &device));
    EXPECT_EQ(nullptr, device);

    setenv("QUENOLDE_GL_ALLOW_SOFTWARE", "1", 1);
    ASSERT_EQ(D3D_OK, Backend().getCaps(&caps));
    EXPECT_EQ(D3DDEVTYPE_HAL, caps.DeviceType);
    EXPECT_NE(0u, caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
}

TEST(HardwareOffer, OffersTheFormatsItSamples) {
    SKIP_WITHOUT_OPENGL();
    setenv("QUENOLDE_GL_ALLOW_SOFTWARE", "1", 1);
    for (D3DFORMAT format : {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_L8, D3DFMT_A8L8})
        EXPECT_EQ(D3D_OK, Backend().checkFormat(0, D3DRTYPE_TEXTURE, format)) << format;
    const HRESULT dxt = gl::ProbedGl()->s3tc ? D3D_OK : D3DERR_NOTAVAILABLE;
    for (D3DFORMAT format : {D3DFMT_DXT1, D3DFMT_DXT3, D3DFMT_DXT5})
        EXPECT_EQ(dxt, Backend().checkFormat(0, D3DRTYPE_TEXTURE, format)) << format;
    EXPECT_EQ(D3DERR_NOTAVAILABLE, Backend().checkFormat(0, D3DRTYPE_TEXTURE, D3DFMT_R5G6B5));
    EXPECT_EQ(D3DERR_NOTAVAILABLE, Backend().checkFormat(D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8));
    EXPECT_EQ(D3DERR_NOTAVAILABLE, Backend().checkFormat(0, D3DRTYPE_VOLUMETEXTURE, D3DFMT_A8R8G8B8));
}

class HardwareDeviceTest : public DeviceTest {};

// A frame with the scene's shape: many small draws changing the world matrix and a few states,
// then two textured passes.
void DrawBusyFrame(IDirect3DDevice9* device, IDirect3DTexture9* texture) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFE4FFFF, 1.0f, 0);
    UseVertexColours(device);
    for (int i = 0; i < 8; ++i) {
        D3DMATRIX world{};
        world._11 = world._22 = world._33 = world._44 = 1.0f;
        world._41 = -0.8f + 0.2f * static_cast<float>(i);
        device->SetTransform(D3DTS_WORLD, &world);
        device->SetRenderState(D3DRS_CULLMODE, i % 2 ? D3DCULL_NONE : D3DCULL_CCW);
        DrawFan(device, Rectangle(64, 28, 0, 36, 8, i % 2 ? kRed : kGreen, 0.3f), kColouredFvf);
    }
    D3DMATRIX identity{};
    identity._11 = identity._22 = identity._33 = identity._44 = 1.0f;
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    DrawFan(device, TexturedRectangle(64, 0, 16, 64, 64, 2, 2, 0xC0FFFFFF), kTexturedFvf);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetTexture(0, nullptr);
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

TEST_P(HardwareDeviceTest, AppliesStateByDifferenceAndCompilesOnlyInTheFirstFrame) {
    const std::uint32_t texels[4] = {0xFF0000FF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF0000FF};
    IDirect3DTexture9* texture = MakeTexture(device_, 2, 2, D3DFMT_A8R8G8B8, texels, 8, 2);
    FrameStatistics first{}, second{}, unfiltered{};
    DrawBusyFrame(device_, texture);
    ASSERT_TRUE(GetFrameStatistics(device_, &first));
    const std::vector<std::uint32_t> filteredFrame = Frame();
    DrawBusyFrame(device_, texture);
    ASSERT_TRUE(GetFrameStatistics(device_, &second));
    EXPECT_EQ(2u, second.frames);
    EXPECT_EQ(9u, second.drawsLastFrame);
    EXPECT_EQ(0u, second.programsCompiledLastFrame) << "every program was made in the first frame";
    EXPECT_LT(second.glCallsLastFrame, first.glCallsLastFrame);
    // Only the world matrix changes from one small draw to the next: each writes the matrices
    // alone into the buffer it already has (the draws' own vertex buffers are new each time).
    const CallCounts& counts = second.countsLastFrame;
    EXPECT_EQ(9u, counts.Of(GlFunction::BufferData));
    EXPECT_LE(counts.Of(GlFunction::BufferSubData), 8u + 2u);

    ASSERT_TRUE(SetStateFiltering(device_, false));
    DrawBusyFrame(device_, texture);
    ASSERT_TRUE(GetFrameStatistics(device_, &unfiltered));
    EXPECT_EQ(filteredFrame, Frame()) << "applying every state at every draw changes nothing drawn";
    EXPECT_GT(unfiltered.glCallsLastFrame, second.glCallsLastFrame);
    texture->Release();
}

INSTANTIATE_TEST_SUITE_P(Hardware, HardwareDeviceTest, ::testing::Values(devices::testing::kOpenGl), FACTORY_NAME);

}  // namespace
}  // namespace gl::testing
