// The hardware device as the adapter sees it (offered only on hardware OpenGL unless software
// is allowed), what it reports, and what sets it apart from the reference device: GL state
// applied by difference, programs compiled once, GL objects tied to one context, and draws that
// must never let GL read outside a buffer.
#include <cstdlib>

#include "drawing.h"

namespace gl::testing {
namespace {

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

    ASSERT_TRUE(SetStateFiltering(device_, false));
    DrawBusyFrame(device_, texture);
    ASSERT_TRUE(GetFrameStatistics(device_, &unfiltered));
    EXPECT_EQ(filteredFrame, Frame()) << "applying every state at every draw changes nothing drawn";
    EXPECT_GT(unfiltered.glCallsLastFrame, second.glCallsLastFrame);
    texture->Release();
}

TEST_P(HardwareDeviceTest, IndicesOutsideTheDeclaredRangeDropTheirTrianglesOnly) {
    UseVertexColours(device_);
    // Two quads' worth of vertices; the second triangle of the list names vertex 40.
    std::vector<ColouredVertex> vertices = Rectangle(width_, 0, 0, 16, 16, kRed);
    const std::vector<ColouredVertex> second = Rectangle(width_, 32, 0, 48, 16, kGreen);
    vertices.insert(vertices.end(), second.begin(), second.end());
    IDirect3DVertexBuffer9* buffer = MakeVertexBuffer(device_, vertices, kColouredFvf);
    const std::uint16_t indices[12] = {0, 1, 2, 0, 2, 3, 4, 5, 40, 4, 6, 7};
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    ASSERT_EQ(D3D_OK,
              device_->CreateIndexBuffer(sizeof indices, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &indexBuffer, nullptr));
    void* data = nullptr;
    ASSERT_EQ(D3D_OK, indexBuffer->Lock(0, 0, &data, 0));
    std::memcpy(data, indices, sizeof indices);
    indexBuffer->Unlock();
    device_->SetFVF(kColouredFvf);
    device_->SetStreamSource(0, buffer, 0, sizeof(ColouredVertex));
    device_->SetIndices(indexBuffer);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    device_->BeginScene();
    EXPECT_EQ(D3D_OK, device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 8, 0, 4));
    // Reading past the index buffer, or past the vertex buffer, is refused outright.
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 8, 3, 4));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 8, 0, 2));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, -1, 0, 8, 0, 2));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->DrawIndexedPrimitive(D3DPT_LINELIST, 0, 0, 8, 0, 2));
    device_->EndScene();
    EXPECT_EQ(kRed, Pixel(8, 2));
    EXPECT_EQ(kRed, Pixel(2, 8));
    EXPECT_EQ(kBlack, Pixel(46, 2)) << "the triangle naming vertex 40 is dropped";
    EXPECT_EQ(kGreen, Pixel(34, 12)) << "the other one of its quad is drawn";
    device_->SetIndices(nullptr);
    device_->SetStreamSource(0, nullptr, 0, 0);
    indexBuffer->Release();
    buffer->Release();
}

TEST_P(HardwareDeviceTest, ResourcesBelongToTheirDeviceAndMayOutliveIt) {
    IDirect3DTexture9* texture = nullptr;
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(D3D_OK, device_->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr));
    ASSERT_EQ(D3D_OK, device_->CreateVertexBuffer(64, 0, kColouredFvf, D3DPOOL_DEFAULT, &buffer, nullptr));
    // Drawn once, so that both have GL objects in the device's context.
    device_->SetTexture(0, texture);
    device_->SetStreamSource(0, buffer, 0, sizeof(ColouredVertex));
    device_->SetFVF(kColouredFvf);
    device_->BeginScene();
    device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
    device_->EndScene();

    // Another device's resources mean nothing in this one's context.
    IDirect3DDevice9* other = nullptr;
    D3DPRESENT_PARAMETERS p = Parameters(16, 16);
    p.hDeviceWindow = window_;
    ASSERT_EQ(D3D_OK, Backend().create(nullptr, window_, D3DCREATE_HARDWARE_VERTEXPROCESSING, p, &other));
    EXPECT_EQ(D3DERR_INVALIDCALL, other->SetTexture(0, texture));
    EXPECT_EQ(D3DERR_INVALIDCALL, other->SetStreamSource(0, buffer, 0, 16));
    EXPECT_EQ(0u, other->Release());

    // The device goes first; the resources are given back afterwards, as the API allows.
    EXPECT_EQ(2u, References(texture));
    device_->SetTexture(0, nullptr);
    device_->SetStreamSource(0, nullptr, 0, 0);
    EXPECT_EQ(0u, device_->Release());
    device_ = nullptr;
    IDirect3DDevice9* owner = reinterpret_cast<IDirect3DDevice9*>(1);
    EXPECT_EQ(D3DERR_INVALIDCALL, texture->GetDevice(&owner));
    EXPECT_EQ(nullptr, owner);
    EXPECT_EQ(0u, texture->Release());
    EXPECT_EQ(0u, buffer->Release());
}

TEST_P(HardwareDeviceTest, SystemMemoryTexturesReachTheDeviceThroughUpdateTexture) {
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    IDirect3DTexture9* staging = nullptr;
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3D_OK, device_->CreateTexture(2, 2, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &staging, nullptr));
    ASSERT_EQ(D3D_OK, device_->CreateTexture(2, 2, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->SetTexture(0, staging)) << "system memory cannot be sampled";
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(D3DERR_INVALIDCALL, texture->LockRect(0, &locked, nullptr, 0)) << "the default pool cannot be locked";
    for (UINT level = 0; level < 2; ++level) {
        ASSERT_EQ(D3D_OK, staging->LockRect(level, &locked, nullptr, 0));
        for (int i = 0; i < (level == 0 ? 4 : 1); ++i) static_cast<std::uint32_t*>(locked.pBits)[i] = kGreen;
        staging->UnlockRect(level);
    }
    ASSERT_EQ(D3D_OK, device_->UpdateTexture(staging, texture));
    ASSERT_EQ(D3D_OK, device_->SetTexture(0, texture));
    DrawFan(device_, TexturedRectangle(width_, 0, 0, 8, 8, 1, 1), kTexturedFvf);
    EXPECT_EQ(kGreen, Pixel(4, 4));
    device_->SetTexture(0, nullptr);
    staging->Release();
    texture->Release();
}

INSTANTIATE_TEST_SUITE_P(Hardware, HardwareDeviceTest, ::testing::Values(kHardware),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace gl::testing
