// Textures, surfaces and buffers: sizes, pitches, what locks hand out and refuse, and the copy
// from a system-memory texture.
#include "device_under_test.h"

namespace devices::testing {
namespace {

using ResourceTest = DeviceTest;

TEST_P(ResourceTest, TextureLevelsHalveDownToOneTexel) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3D_OK, device_->CreateTexture(256, 64, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr));
    ASSERT_EQ(9u, texture->GetLevelCount());
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(D3D_OK, texture->GetLevelDesc(6, &desc));
    EXPECT_EQ(4u, desc.Width);
    EXPECT_EQ(1u, desc.Height);
    EXPECT_EQ(D3DFMT_X8R8G8B8, desc.Format);
    EXPECT_EQ(D3DPOOL_MANAGED, desc.Pool);
    ASSERT_EQ(D3D_OK, texture->GetLevelDesc(8, &desc));
    EXPECT_EQ(1u, desc.Width);
    EXPECT_EQ(D3DERR_INVALIDCALL, texture->GetLevelDesc(9, &desc));
    texture->Release();

    // Sizes the samplers cannot wrap with a mask, and level counts past the chain, are refused.
    EXPECT_EQ(D3DERR_INVALIDCALL,
              device_->CreateTexture(200, 100, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr));
    EXPECT_EQ(D3DERR_INVALIDCALL,
              device_->CreateTexture(4, 4, 4, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr));
    EXPECT_EQ(D3DERR_INVALIDCALL,
              device_->CreateTexture(4, 4, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &texture, nullptr));
}

TEST_P(ResourceTest, LockedRectsHaveEachFormatsPitch) {
    struct Case {
        D3DFORMAT format;
        INT pitchAt16;  // a 16-texel-wide level
        INT pitchAt1;   // its 1 x 1 level
    };
    for (Case c : {Case{D3DFMT_A8R8G8B8, 64, 4}, Case{D3DFMT_L8, 16, 1}, Case{D3DFMT_A8L8, 32, 2},
                   Case{D3DFMT_DXT1, 32, 8}, Case{D3DFMT_DXT5, 64, 16}}) {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(D3D_OK, device_->CreateTexture(16, 16, 0, 0, c.format, D3DPOOL_MANAGED, &texture, nullptr));
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(D3D_OK, texture->LockRect(0, &locked, nullptr, 0));
        EXPECT_EQ(c.pitchAt16, locked.Pitch) << c.format;
        EXPECT_EQ(D3DERR_INVALIDCALL, texture->LockRect(0, &locked, nullptr, 0)) << "locked twice";
        EXPECT_EQ(D3D_OK, texture->UnlockRect(0));
        EXPECT_EQ(D3DERR_INVALIDCALL, texture->UnlockRect(0));
        IDirect3DSurface9* surface = nullptr;
        ASSERT_EQ(D3D_OK, texture->GetSurfaceLevel(4, &surface));
        ASSERT_EQ(D3D_OK, surface->LockRect(&locked, nullptr, 0));
        EXPECT_EQ(c.pitchAt1, locked.Pitch) << c.format;
        surface->UnlockRect();
        surface->Release();
        EXPECT_EQ(0u, texture->Release());
    }
}

TEST_P(ResourceTest, LockedSubRectanglesPointIntoTheLevel) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3D_OK, device_->CreateTexture(16, 16, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &texture, nullptr));
    D3DLOCKED_RECT whole{}, part{};
    texture->LockRect(0, &whole, nullptr, D3DLOCK_READONLY);
    texture->UnlockRect(0);
    RECT blocks{4, 8, 12, 16};
    ASSERT_EQ(D3D_OK, texture->LockRect(0, &part, &blocks, 0));
    EXPECT_EQ(static_cast<std::uint8_t*>(whole.pBits) + 2 * 32 + 8, part.pBits);
    texture->UnlockRect(0);
    RECT cutsABlock{2, 0, 6, 4};
    EXPECT_EQ(D3DERR_INVALIDCALL, texture->LockRect(0, &part, &cutsABlock, 0));
    RECT outside{0, 0, 20, 4};
    EXPECT_EQ(D3DERR_INVALIDCALL, texture->LockRect(0, &part, &outside, 0));
    texture->Release();
}

TEST_P(ResourceTest, SurfacesShareTheirTexturesReferences) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3D_OK, device_->CreateTexture(8, 8, 0, 0, D3DFMT_L8, D3DPOOL_MANAGED, &texture, nullptr));
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(D3D_OK, texture->GetSurfaceLevel(1, &surface));
    EXPECT_EQ(2u, References(texture));
    D3DSURFACE_DESC desc{};
    surface->GetDesc(&desc);
    EXPECT_EQ(4u, desc.Width);
    IDirect3DTexture9* container = nullptr;
    ASSERT_EQ(D3D_OK, surface->GetContainer(IID_IDirect3DTexture9, reinterpret_cast<void**>(&container)));
    EXPECT_EQ(texture, container);
    container->Release();
    EXPECT_EQ(1u, surface->Release());
    EXPECT_EQ(0u, texture->Release());
}

TEST_P(ResourceTest, DefaultPoolTexturesAreFilledThroughUpdateTexture) {
    IDirect3DTexture9* staging = nullptr;
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(D3D_OK, device_->CreateTexture(8, 8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &staging, nullptr));
    ASSERT_EQ(D3D_OK, device_->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr));
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(D3DERR_INVALIDCALL, target->LockRect(0, &locked, nullptr, 0));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->SetTexture(0, staging));
    // The staging texture's level 1 (4 x 4) is the target's level 0.
    for (UINT level = 0; level < 4; ++level) {
        ASSERT_EQ(D3D_OK, staging->LockRect(level, &locked, nullptr, 0));
        std::memset(locked.pBits, static_cast<int>(0x10 * (level + 1)), 4);
        staging->UnlockRect(level);
    }
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->UpdateTexture(target, staging));
    ASSERT_EQ(D3D_OK, device_->UpdateTexture(staging, target));
    staging->Release();

    IDirect3DTexture9* smaller = nullptr;
    ASSERT_EQ(D3D_OK, device_->CreateTexture(2, 2, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &smaller, nullptr));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->UpdateTexture(smaller, target)) << "no level of the target's size";
    smaller->Release();
    target->Release();
}

TEST_P(ResourceTest, BufferLocksStayInsideTheBuffer) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(D3D_OK, device_->CreateVertexBuffer(128, 0, 0x112, D3DPOOL_DEFAULT, &buffer, nullptr));
    void* data = nullptr;
    ASSERT_EQ(D3D_OK, buffer->Lock(0, 0, &data, 0));
    void* middle = nullptr;
    ASSERT_EQ(D3D_OK, buffer->Lock(32, 64, &middle, 0));  // nested locks are allowed on buffers
    EXPECT_EQ(static_cast<std::uint8_t*>(data) + 32, middle);
    EXPECT_EQ(D3DERR_INVALIDCALL, buffer->Lock(100, 29, &middle, 0));
    EXPECT_EQ(D3DERR_INVALIDCALL, buffer->Lock(129, 0, &middle, 0));
    EXPECT_EQ(D3D_OK, buffer->Unlock());
    EXPECT_EQ(D3D_OK, buffer->Unlock());
    EXPECT_EQ(D3DERR_INVALIDCALL, buffer->Unlock());
    D3DVERTEXBUFFER_DESC desc{};
    buffer->GetDesc(&desc);
    EXPECT_EQ(128u, desc.Size);
    EXPECT_EQ(0x112u, desc.FVF);
    buffer->Release();

    IDirect3DIndexBuffer9* indices = nullptr;
    EXPECT_EQ(D3DERR_INVALIDCALL,
              device_->CreateIndexBuffer(12, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &indices, nullptr));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->CreateVertexBuffer(0, 0, 0, D3DPOOL_DEFAULT, &buffer, nullptr));
}

INSTANTIATE_TEST_SUITE_P(Devices, ResourceTest, DEVICE_FACTORIES, FACTORY_NAME);

}  // namespace
}  // namespace devices::testing
