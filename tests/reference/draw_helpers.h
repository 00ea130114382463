#pragma once
// Drawing in pixel coordinates on a test device: with identity transforms a vertex at clip
// position (x, y) lands at pixel ((x + 1) W / 2, (1 - y) H / 2), pixel centres at whole numbers.

#include <functional>

#include "device_fixture.h"

namespace reference::testing {

// D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX2.
constexpr DWORD kTestFvf = 0x242;

struct TestVertex {
    float x, y, z;
    DWORD colour;
    float u0 = 0, v0 = 0;
    float u1 = 0, v1 = 0;
};

class DrawTest : public DeviceTest {
protected:
    void SetUp() override { CreateDevice(32, 32); }

    // A vertex at pixel position (px, py) and depth z.
    TestVertex At(float px, float py, float z = 0.5f, DWORD colour = 0xFFFFFFFF, float u = 0, float v = 0) const {
        return {px / (width_ * 0.5f) - 1.0f, 1.0f - py / (height_ * 0.5f), z, colour, u, v, u, v};
    }

    // Lighting off and a cleared frame, so that vertex colours come through as they are.
    void StartUnlit(D3DCOLOR clear = 0xFF000000) {
        device_->SetRenderState(D3DRS_LIGHTING, FALSE);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0);
    }

    // Stage 0 passes the vertex colour and alpha through, whatever texture is bound.
    void DiffuseOnly() {
        device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    }

    HRESULT Draw(D3DPRIMITIVETYPE type, const std::vector<TestVertex>& vertices, UINT primitives, DWORD fvf = kTestFvf,
                 UINT stride = sizeof(TestVertex)) {
        IDirect3DVertexBuffer9* buffer = nullptr;
        UINT bytes = static_cast<UINT>(vertices.size() * sizeof(TestVertex));
        EXPECT_EQ(D3D_OK, device_->CreateVertexBuffer(bytes, 0, fvf, D3DPOOL_DEFAULT, &buffer, nullptr));
        void* data = nullptr;
        buffer->Lock(0, 0, &data, 0);
        std::memcpy(data, vertices.data(), bytes);
        buffer->Unlock();
        device_->SetFVF(fvf);
        device_->SetStreamSource(0, buffer, 0, stride);
        buffer->Release();
        device_->BeginScene();
        HRESULT result = device_->DrawPrimitive(type, 0, primitives);
        device_->EndScene();
        return result;
    }

    // A screen-aligned rectangle from pixel (x0, y0) to (x1, y1) as two triangles (clockwise),
    // texture coordinates running from (u0, v0) to (u1, v1).
    void Rectangle(float x0, float y0, float x1, float y1, DWORD colour = 0xFFFFFFFF, float z = 0.5f, float u0 = 0,
                   float v0 = 0, float u1 = 1, float v1 = 1) {
        std::vector<TestVertex> quad = {At(x0, y0, z, colour, u0, v0), At(x1, y0, z, colour, u1, v0),
                                        At(x1, y1, z, colour, u1, v1), At(x0, y1, z, colour, u0, v1)};
        Draw(D3DPT_TRIANGLEFAN, quad, 2);
    }

    // A texture whose level l, texel (x, y) is texel(l, x, y).
    IDirect3DTexture9* MakeTexture(UINT width, UINT height, UINT levels,
                                   const std::function<DWORD(UINT, UINT, UINT)>& texel) {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(D3D_OK, device_->CreateTexture(width, height, levels, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                                                 nullptr));
        for (UINT level = 0; level < texture->GetLevelCount(); ++level) {
            D3DSURFACE_DESC desc{};
            texture->GetLevelDesc(level, &desc);
            D3DLOCKED_RECT locked{};
            texture->LockRect(level, &locked, nullptr, 0);
            for (UINT y = 0; y < desc.Height; ++y)
                for (UINT x = 0; x < desc.Width; ++x)
                    static_cast<DWORD*>(locked.pBits)[y * (locked.Pitch / 4) + x] = texel(level, x, y);
            texture->UnlockRect(level);
        }
        return texture;
    }

    void SetSampler(DWORD sampler, DWORD filter, DWORD mip, DWORD address) {
        device_->SetSamplerState(sampler, D3DSAMP_MINFILTER, filter);
        device_->SetSamplerState(sampler, D3DSAMP_MAGFILTER, filter);
        device_->SetSamplerState(sampler, D3DSAMP_MIPFILTER, mip);
        device_->SetSamplerState(sampler, D3DSAMP_ADDRESSU, address);
        device_->SetSamplerState(sampler, D3DSAMP_ADDRESSV, address);
    }

    // How many pixels of the frame hold `colour`.
    int Count(DWORD colour) {
        int n = 0;
        for (DWORD p : Frame()) n += p == colour;
        return n;
    }
};

inline int Channel(DWORD colour, int shift) { return static_cast<int>((colour >> shift) & 255); }

// Expects each channel of `actual` within `tolerance` of (a, r, g, b).
inline ::testing::AssertionResult Near(DWORD actual, int a, int r, int g, int b, int tolerance = 0) {
    const int want[4] = {a, r, g, b};
    const int shifts[4] = {24, 16, 8, 0};
    for (int i = 0; i < 4; ++i) {
        if (want[i] < 0) continue;  // channel not checked
        int got = Channel(actual, shifts[i]);
        if (got < want[i] - tolerance || got > want[i] + tolerance)
            return ::testing::AssertionFailure() << "pixel " << ::testing::PrintToString(actual) << ": channel " << i
                                                 << " is " << got << ", expected " << want[i] << " +- " << tolerance;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace reference::testing
