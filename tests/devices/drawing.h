#pragma once
// Small scenes for the device tests: vertices placed on exact pixels with identity transforms,
// textures filled texel by texel.

#include <cstdint>
#include <cstring>
#include <vector>

#include "device_under_test.h"

namespace devices::testing {

struct ColouredVertex {
    float x, y, z;
    D3DCOLOR colour;
};
constexpr DWORD kColouredFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;

struct TexturedVertex {
    float x, y, z;
    D3DCOLOR colour;
    float u, v;
};
constexpr DWORD kTexturedFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct SpecularVertex {
    float x, y, z;
    D3DCOLOR diffuse;
    D3DCOLOR specular;
};
constexpr DWORD kSpecularFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_SPECULAR;

struct TwoSetVertex {
    float x, y, z;
    D3DCOLOR colour;
    float u0, v0, u1, v1;
};
constexpr DWORD kTwoSetFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX2;

struct LitVertex {
    float x, y, z;
    float nx, ny, nz;
    float u0, v0, u1, v1;
};
constexpr DWORD kLitFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2;

// With identity transforms, the clip-space x and y of a pixel position on a back buffer of
// `size` pixels (Direct3D puts pixel centres on integer positions).
inline float ClipX(float pixel, int size) { return pixel * 2.0f / static_cast<float>(size) - 1.0f; }
inline float ClipY(float pixel, int size) { return 1.0f - pixel * 2.0f / static_cast<float>(size); }

template <class Vertex>
IDirect3DVertexBuffer9* MakeVertexBuffer(IDirect3DDevice9* device, const std::vector<Vertex>& vertices, DWORD fvf) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    const UINT length = static_cast<UINT>(vertices.size() * sizeof(Vertex));
    EXPECT_EQ(D3D_OK, device->CreateVertexBuffer(length, 0, fvf, D3DPOOL_DEFAULT, &buffer, nullptr));
    void* data = nullptr;
    EXPECT_EQ(D3D_OK, buffer->Lock(0, length, &data, 0));
    std::memcpy(data, vertices.data(), length);
    buffer->Unlock();
    return buffer;
}

// Draws `vertices` with the device's current state, inside a scene.
template <class Vertex>
void Draw(IDirect3DDevice9* device, D3DPRIMITIVETYPE type, const std::vector<Vertex>& vertices, DWORD fvf) {
    IDirect3DVertexBuffer9* buffer = MakeVertexBuffer(device, vertices, fvf);
    const auto count = static_cast<UINT>(vertices.size());
    device->SetFVF(fvf);
    device->SetStreamSource(0, buffer, 0, sizeof(Vertex));
    device->BeginScene();
    EXPECT_EQ(D3D_OK, device->DrawPrimitive(type, 0, type == D3DPT_TRIANGLELIST ? count / 3 : count - 2));
    device->EndScene();
    device->SetStreamSource(0, nullptr, 0, 0);
    buffer->Release();
}

template <class Vertex>
void DrawFan(IDirect3DDevice9* device, const std::vector<Vertex>& vertices, DWORD fvf) {
    Draw(device, D3DPT_TRIANGLEFAN, vertices, fvf);
}

// Unlit drawing with the vertex colours alone: no lighting, and stage 0 passing the diffuse
// colour and alpha through.
inline void UseVertexColours(IDirect3DDevice9* device) {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
}

// A rectangle of pixels [x0, x1) x [y0, y1), corners listed clockwise on the screen.
inline std::vector<ColouredVertex> Rectangle(int size, float x0, float y0, float x1, float y1, D3DCOLOR colour,
                                             float z = 0.5f) {
    return {{ClipX(x0, size), ClipY(y0, size), z, colour},
            {ClipX(x1, size), ClipY(y0, size), z, colour},
            {ClipX(x1, size), ClipY(y1, size), z, colour},
            {ClipX(x0, size), ClipY(y1, size), z, colour}};
}

// The same with texture coordinates (0, 0) at the top left to (u1, v1) at the bottom right.
inline std::vector<TexturedVertex> TexturedRectangle(int size, float x0, float y0, float x1, float y1, float u1,
                                                     float v1, D3DCOLOR colour = 0xFFFFFFFF) {
    return {{ClipX(x0, size), ClipY(y0, size), 0.5f, colour, 0.0f, 0.0f},
            {ClipX(x1, size), ClipY(y0, size), 0.5f, colour, u1, 0.0f},
            {ClipX(x1, size), ClipY(y1, size), 0.5f, colour, u1, v1},
            {ClipX(x0, size), ClipY(y1, size), 0.5f, colour, 0.0f, v1}};
}

// A managed texture of one level whose rows are given as bytes, `pitch` bytes apart.
inline IDirect3DTexture9* MakeTexture(IDirect3DDevice9* device, UINT width, UINT height, D3DFORMAT format,
                                      const void* bytes, UINT rowBytes, UINT rows) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(D3D_OK, device->CreateTexture(width, height, 1, 0, format, D3DPOOL_MANAGED, &texture, nullptr));
    if (texture == nullptr) return nullptr;
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(D3D_OK, texture->LockRect(0, &locked, nullptr, 0));
    for (UINT row = 0; row < rows; ++row)
        std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + static_cast<std::size_t>(row) * locked.Pitch,
                    static_cast<const std::uint8_t*>(bytes) + static_cast<std::size_t>(row) * rowBytes, rowBytes);
    texture->UnlockRect(0);
    return texture;
}

}  // namespace devices::testing
