// The front end both devices share, held to the same result codes on each: what a draw may
// read, which resources a device may bind and copy, the clear's depth, the primitive limit the
// capabilities promise, and where Present shows the frame.
#include <cmath>
#include <limits>

#include "drawing.h"

namespace devices::testing {
namespace {

constexpr D3DCOLOR kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00;

using FrontEndTest = DeviceTest;

TEST_P(FrontEndTest, ClearRefusesADepthOutsideZeroToOneAndNaN) {
    for (float z : {-0.25f, 1.5f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
        EXPECT_EQ(D3DERR_INVALIDCALL, device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, z, 0)) << z;
    EXPECT_EQ(D3D_OK, device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.0f, 0));
    EXPECT_EQ(D3D_OK, device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0));
    std::vector<std::uint32_t> depth;
    ASSERT_TRUE(GetParam().readDepth(device_, depth));
    EXPECT_EQ(0xFFFFFFu, depth[0]) << "the refused clears left the buffer alone";
}

TEST_P(FrontEndTest, DrawsPastThePromisedPrimitiveCountAreRefused) {
    D3DCAPS9 caps{};
    ASSERT_EQ(D3D_OK, device_->GetDeviceCaps(&caps));
    ASSERT_EQ(0xFFFFFu, caps.MaxPrimitiveCount);
    // Buffers that hold one primitive more than the limit, so that only the limit refuses it.
    const UINT vertices = caps.MaxPrimitiveCount + 3;
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(D3D_OK, device_->CreateVertexBuffer(vertices * sizeof(ColouredVertex), 0, kColouredFvf, D3DPOOL_DEFAULT,
                                                  &buffer, nullptr));
    IDirect3DIndexBuffer9* indices = nullptr;
    ASSERT_EQ(D3D_OK, device_->CreateIndexBuffer(vertices * 4, 0, D3DFMT_INDEX32, D3DPOOL_DEFAULT, &indices, nullptr));
    device_->SetFVF(kColouredFvf);
    device_->SetStreamSource(0, buffer, 0, sizeof(ColouredVertex));
    device_->SetIndices(indices);
    device_->BeginScene();
    EXPECT_EQ(D3D_OK, device_->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, caps.MaxPrimitiveCount));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, caps.MaxPrimitiveCount + 1));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 0xFFFFFFFFu));
    EXPECT_EQ(D3DERR_INVALIDCALL,
              device_->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 0, 0, vertices, 0, caps.MaxPrimitiveCount + 1));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 0x55555556u));
    device_->EndScene();
    device_->SetIndices(nullptr);
    device_->SetStreamSource(0, nullptr, 0, 0);
    indices->Release();
    buffer->Release();
}

TEST_P(FrontEndTest, UpdateTextureCopiesOnlyBetweenThisDevicesTextures) {
    IDirect3DDevice9* other = OtherDevice();
    ASSERT_NE(nullptr, other);
    IDirect3DTexture9 *staging = nullptr, *target = nullptr, *foreignStaging = nullptr, *foreignTarget = nullptr;
    ASSERT_EQ(D3D_OK, device_->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &staging, nullptr));
    ASSERT_EQ(D3D_OK, device_->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr));
    ASSERT_EQ(D3D_OK, other->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &foreignStaging, nullptr));
    ASSERT_EQ(D3D_OK, other->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &foreignTarget, nullptr));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->UpdateTexture(foreignStaging, target));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->UpdateTexture(staging, foreignTarget));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->UpdateTexture(foreignStaging, foreignTarget));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->UpdateTexture(nullptr, target));
    EXPECT_EQ(D3D_OK, device_->UpdateTexture(staging, target));
    EXPECT_EQ(D3D_OK, other->UpdateTexture(foreignStaging, foreignTarget));
    for (IDirect3DTexture9* texture : {staging, target, foreignStaging, foreignTarget}) texture->Release();
    EXPECT_EQ(0u, other->Release());
}

TEST_P(FrontEndTest, PresentShowsTheFrameInTheNamedWindowOrElseTheDevicesOwn) {
    HWND elsewhere =
        CreateWindowExA(0, "device test", "elsewhere", 0, 0, 0, 64, 64, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, elsewhere);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
    ASSERT_EQ(D3D_OK, device_->Present(nullptr, nullptr, elsewhere, nullptr));
    EXPECT_EQ(elsewhere, headless::LastFrame().window);
    ASSERT_EQ(static_cast<std::size_t>(width_ * height_), headless::LastFrame().bgra.size());
    EXPECT_EQ(kGreen, headless::LastFrame().bgra[0]);
    EXPECT_EQ(kGreen, headless::LastFrame().bgra.back());

    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kRed, 1.0f, 0);
    ASSERT_EQ(D3D_OK, device_->Present(nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(window_, headless::LastFrame().window);
    EXPECT_EQ(kRed, headless::LastFrame().bgra[0]);
    EXPECT_EQ(2u, headless::LastFrame().presentCount);

    device_->BeginScene();
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->Present(nullptr, nullptr, elsewhere, nullptr)) << "inside a scene";
    device_->EndScene();
}

TEST_P(FrontEndTest, IndicesOutsideTheDeclaredRangeDropTheirTrianglesOnly) {
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

TEST_P(FrontEndTest, ResourcesBelongToTheirDeviceAndMayOutliveIt) {
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
    device_->Present(nullptr, nullptr, nullptr, nullptr);  // a finished frame holds nothing

    // Another device's resources mean nothing to this one.
    IDirect3DDevice9* other = OtherDevice();
    ASSERT_NE(nullptr, other);
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

TEST_P(FrontEndTest, SystemMemoryTexturesReachTheDeviceThroughUpdateTexture) {
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

TEST_P(FrontEndTest, EachBackEndNamesOnlyTheDevicesItMade) {
    const std::string words = GetParam().backend().describe(device_);
    EXPECT_EQ(0u, words.find(GetParam().needsOpenGl ? "the OpenGL device on \"" : "the reference device, ")) << words;
    const d3d9::DeviceBackend& other = GetParam().needsOpenGl ? reference::Backend() : gl::Backend();
    EXPECT_EQ("", other.describe(device_));
    EXPECT_EQ("", GetParam().backend().describe(nullptr));
}

INSTANTIATE_TEST_SUITE_P(Devices, FrontEndTest, DEVICE_FACTORIES, FACTORY_NAME);

}  // namespace
}  // namespace devices::testing
