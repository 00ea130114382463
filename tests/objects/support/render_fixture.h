#pragma once
// A reference device on a headless window, 64 × 64 pixels, with an orthographic camera that
// shows 8 × 8 world units: world (X, Y) in view space lands at pixel (8 X + 32, 32 − 8 Y), pixel
// centres at whole numbers, so an edge at a whole world unit passes through a row of centres.
// Tests look one pixel inside and one outside such edges.

#include <cstdint>
#include <vector>

#include "platform/d3d9/device_backend.h"
#include "scratch.h"

namespace scene_test {

class RenderTest : public ScratchTest {
public:
    static constexpr int kTaille = 64;

protected:
    void SetUp() override;
    void TearDown() override;

    // The view sets which world axes become the screen's; depth is view z, -8 to 8.
    void Camera(const D3DMATRIX& view);
    void Begin(D3DCOLOR clear);
    // Ends the scene, presents, and returns the frame, kTaille × kTaille, as 0x00RRGGBB.
    std::vector<std::uint32_t> End();
    // A one-level A8R8G8B8 texture whose texels are texel(c, r) as 0xAARRGGBB.
    template <typename Texel>
    IDirect3DTexture9* Texture(int width, int height, Texel texel);

    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

// Views, as rows: the images of the world x, y and z axes.
D3DMATRIX VueDeFace();    // x right, y up: the plane z = c faces the camera
D3DMATRIX VueDeDos();     // from behind: x left, y up
D3DMATRIX VueDeCote();    // z right, y up: the plane x = c faces the camera
D3DMATRIX VueDuDessus();  // as the scene's right-handed camera sees the ground: x right, z down

inline std::uint32_t Rgb(const std::vector<std::uint32_t>& frame, int x, int y) {
    return frame[static_cast<std::size_t>(y) * RenderTest::kTaille + x] & 0xFFFFFFu;
}

template <typename Texel>
IDirect3DTexture9* RenderTest::Texture(int width, int height, Texel texel) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), S_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    for (int r = 0; r < height; ++r) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<BYTE*>(locked.pBits) + r * locked.Pitch);
        for (int c = 0; c < width; ++c) row[c] = texel(c, r);
    }
    texture->UnlockRect(0);
    return texture;
}

}  // namespace scene_test
