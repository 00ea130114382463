#include "terrain_fixture.h"

#include "../common/headless_device.h"

namespace terrain_test {

void TerrainTest::SetUp() {
    ScratchTest::SetUp();
    d3d9::SetDevicePolicy(d3d9::DevicePolicy::ReferenceOnly);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "terrain test";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, "terrain test", "", 0, 0, 0, kSize, kSize, nullptr, nullptr, nullptr, nullptr);
    d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d_, nullptr);
    D3DPRESENT_PARAMETERS p = devicetest::Parameters(kSize, kSize);
    p.hDeviceWindow = window;
    ASSERT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_REF, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p, &device), D3D_OK);
}

void TerrainTest::TearDown() {
    terrain.Liberer();
    if (device != nullptr) device->Release();
    if (d3d_ != nullptr) d3d_->Release();
    ScratchTest::TearDown();
}

void TerrainTest::ExpectEmpty() const {
    EXPECT_FALSE(terrain.sommets);
    EXPECT_FALSE(terrain.indices);
    EXPECT_EQ(terrain.nbSommets, 0);
    EXPECT_EQ(terrain.nbIndices, 0);
    EXPECT_EQ(terrain.nbColonnes, 0);
    EXPECT_EQ(terrain.nbLignes, 0);
    EXPECT_EQ(terrain.vertexBuffer, nullptr);
    EXPECT_EQ(terrain.indexBuffer, nullptr);
}

IDirect3DTexture9* TerrainTest::SolidTexture(D3DCOLOR argb) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 2; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
        row[0] = row[1] = argb;
    }
    texture->UnlockRect(0);
    return texture;
}

std::uint32_t TerrainTest::Pixel(int x, int y) {
    std::vector<std::uint32_t> frame;
    EXPECT_TRUE(reference::ReadBackBuffer(device, frame));
    return frame.at(static_cast<size_t>(y) * kSize + x);
}

}  // namespace terrain_test
