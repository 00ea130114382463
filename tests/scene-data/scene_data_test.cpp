// The generated Data tree as the viewer reads it: through our own grey-level reader, texture
// loader and tree placement, on the reference device, from the build's working directory.

#include <gtest/gtest.h>

#include <string>

#include "objects/liste_positions.h"
#include "platform/d3d9/device_backend.h"
#include "platform/win32/headless/headless.h"
#include "terrain/heighmap.h"
#include "terrain/image_pgm.h"
#include "utilities/d3dx_texture.h"

namespace {

class SceneDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        d3d9::SetDevicePolicy(d3d9::DevicePolicy::ReferenceOnly);
        WNDCLASSEXA classe{};
        classe.cbSize = sizeof classe;
        classe.lpfnWndProc = DefWindowProcA;
        classe.lpszClassName = "data";
        RegisterClassExA(&classe);
        HWND window = CreateWindowExA(0, "data", "", 0, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
        d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_TRUE(d3d_);
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = 800;
        parameters.BackBufferHeight = 600;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.Windowed = TRUE;
        parameters.EnableAutoDepthStencil = TRUE;
        parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
        ASSERT_EQ(
            d3d_->CreateDevice(0, D3DDEVTYPE_REF, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &device_),
            S_OK);
    }
    void TearDown() override {
        if (device_) device_->Release();
        if (d3d_) d3d_->Release();
        EXPECT_TRUE(headless::MessageBoxes().empty()) << headless::MessageBoxes().front().text;
    }

    // Loads `file` and checks the texture's format, level-0 size and level count.
    void ExpectTexture(const std::string& file, D3DFORMAT format, UINT size, DWORD levels) {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(D3DXCreateTextureFromFileA(device_, file.c_str(), &texture), S_OK) << file;
        D3DSURFACE_DESC desc{};
        texture->GetLevelDesc(0, &desc);
        EXPECT_EQ(desc.Format, format) << file;
        EXPECT_EQ(desc.Width, size) << file;
        EXPECT_EQ(desc.Height, size) << file;
        EXPECT_EQ(texture->GetLevelCount(), levels) << file;
        texture->Release();
    }

    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
};

TEST_F(SceneDataTest, GreyLevelImagesReadWithTheirSizes) {
    INT width = 0, height = 0;
    EXPECT_TRUE(ChargerPGM("Data\\terrain\\terrain_128x128.pgm", &width, &height));
    EXPECT_EQ(width, 128);
    EXPECT_EQ(height, 128);
    EXPECT_TRUE(ChargerPGM("Data\\arbre\\terrain_256x256 arbres.pgm", &width, &height));
    EXPECT_EQ(width, 256);
    EXPECT_EQ(height, 256);
}

TEST_F(SceneDataTest, EveryTextureLoadsWithItsFormatSizeAndFullChain) {
    ExpectTexture("Data\\terrain\\pierre.png", D3DFMT_X8R8G8B8, 256, 9);
    ExpectTexture("Data\\terrain\\herbe.png", D3DFMT_X8R8G8B8, 256, 9);
    ExpectTexture("Data\\terrain\\mask.png", D3DFMT_A8R8G8B8, 512, 10);
    ExpectTexture("Data\\eau\\maskeau.png", D3DFMT_A8R8G8B8, 256, 9);
    ExpectTexture("Data\\arbre\\tree01S.dds", D3DFMT_DXT5, 256, 9);
    for (int i = 0; i < 32; ++i)
        ExpectTexture("Data\\eau\\caustic\\caust" + std::to_string(i) + ".jpg", D3DFMT_X8R8G8B8, 256, 9);
}

TEST_F(SceneDataTest, TheTreeMapGivesAHundredPositionsOnTheTerrain) {
    HeighMap terrain;
    ASSERT_EQ(terrain.Init("Data\\terrain\\terrain_128x128.pgm", &device_, 0.3f, 0.3f, 0.02f), S_OK);
    cListePositions arbres;
    arbres.Charger("Data\\arbre\\terrain_256x256 arbres.pgm", &terrain, 100);
    EXPECT_EQ(arbres.nbPositions, 100);
    for (INT i = 0; i < arbres.nbPositions; ++i) {
        const D3DXVECTOR3& p = arbres.positions[i];
        EXPECT_GT(p.y, 0.5f) << "tree " << i << " stands under the water";
        EXPECT_LT(std::abs(p.x), 19.2f);
        EXPECT_LT(std::abs(p.z), 19.2f);
    }
    arbres.Liberer();
    terrain.Liberer();
}

}  // namespace
