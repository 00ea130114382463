#include "utilities/texture_layout.h"

#include <gtest/gtest.h>

#include "utilities/d3dx_texture.h"

namespace {

using utilities::FitToDevice;
using utilities::RequestedSize;

D3DCAPS9 Caps(DWORD textureCaps, DWORD maxSize = 4096, DWORD ratio = 0) {
    D3DCAPS9 caps{};
    caps.TextureCaps = textureCaps;
    caps.MaxTextureWidth = caps.MaxTextureHeight = maxSize;
    caps.MaxTextureAspectRatio = ratio;
    return caps;
}

constexpr DWORD kMipPow2 = D3DPTEXTURECAPS_MIPMAP | D3DPTEXTURECAPS_POW2;

TEST(TextureLayout, RequestedSizes) {
    EXPECT_EQ(RequestedSize(D3DX_DEFAULT, 200), 256u);
    EXPECT_EQ(RequestedSize(0, 100), 128u);
    EXPECT_EQ(RequestedSize(D3DX_DEFAULT, 256), 256u);
    EXPECT_EQ(RequestedSize(D3DX_DEFAULT, 1), 1u);
    EXPECT_EQ(RequestedSize(D3DX_DEFAULT_NONPOW2, 200), 200u);
    EXPECT_EQ(RequestedSize(77, 200), 77u);
}

TEST(TextureLayout, FullChainsAndRequestedLevels) {
    const auto shape = FitToDevice(Caps(kMipPow2), 256, 128, D3DX_DEFAULT, D3DFMT_X8R8G8B8);
    EXPECT_EQ(shape.width, 256u);
    EXPECT_EQ(shape.height, 128u);
    EXPECT_EQ(shape.levels, 9u);
    EXPECT_EQ(FitToDevice(Caps(kMipPow2), 256, 256, 0, D3DFMT_X8R8G8B8).levels, 9u);
    EXPECT_EQ(FitToDevice(Caps(kMipPow2), 256, 256, 3, D3DFMT_X8R8G8B8).levels, 3u);
    EXPECT_EQ(FitToDevice(Caps(kMipPow2), 256, 256, 20, D3DFMT_X8R8G8B8).levels, 9u);
    EXPECT_EQ(FitToDevice(Caps(kMipPow2), 1, 1, D3DX_DEFAULT, D3DFMT_X8R8G8B8).levels, 1u);
    EXPECT_EQ(FitToDevice(Caps(D3DPTEXTURECAPS_POW2), 256, 256, D3DX_DEFAULT, D3DFMT_X8R8G8B8).levels, 1u)
        << "no mipmaps without the capability";
}

TEST(TextureLayout, DeviceLimits) {
    auto shape = FitToDevice(Caps(kMipPow2, 64), 256, 256, D3DX_DEFAULT, D3DFMT_X8R8G8B8);
    EXPECT_EQ(shape.width, 64u);
    EXPECT_EQ(shape.levels, 7u);

    shape = FitToDevice(Caps(kMipPow2 | D3DPTEXTURECAPS_SQUAREONLY), 256, 128, D3DX_DEFAULT, D3DFMT_X8R8G8B8);
    EXPECT_EQ(shape.width, shape.height);

    shape = FitToDevice(Caps(kMipPow2, 4096, 2), 1024, 64, D3DX_DEFAULT, D3DFMT_X8R8G8B8);
    EXPECT_EQ(shape.width, 128u);
    EXPECT_EQ(shape.height, 64u);

    // Powers of two are required, unless conditionally lifted for one level of a non-DXT format.
    shape = FitToDevice(Caps(kMipPow2), 200, 100, D3DX_DEFAULT, D3DFMT_X8R8G8B8);
    EXPECT_EQ(shape.width, 256u);
    EXPECT_EQ(shape.height, 128u);
    const DWORD conditional = kMipPow2 | D3DPTEXTURECAPS_NONPOW2CONDITIONAL;
    shape = FitToDevice(Caps(conditional), 200, 100, 1, D3DFMT_X8R8G8B8);
    EXPECT_EQ(shape.width, 200u);
    EXPECT_EQ(shape.levels, 1u);
    shape = FitToDevice(Caps(conditional), 200, 100, 1, D3DFMT_DXT1);
    EXPECT_EQ(shape.width, 256u);

    // Without the power-of-two rule a non-power-of-two size stays, and a conditional device
    // then allows one level only.
    shape = FitToDevice(Caps(D3DPTEXTURECAPS_MIPMAP | D3DPTEXTURECAPS_NONPOW2CONDITIONAL), 200, 100, D3DX_DEFAULT,
                        D3DFMT_X8R8G8B8);
    EXPECT_EQ(shape.width, 200u);
    EXPECT_EQ(shape.levels, 1u);
    shape = FitToDevice(Caps(D3DPTEXTURECAPS_MIPMAP), 200, 100, D3DX_DEFAULT, D3DFMT_X8R8G8B8);
    EXPECT_EQ(shape.levels, 8u);

    // DXT sizes are whole blocks.
    shape = FitToDevice(Caps(D3DPTEXTURECAPS_MIPMAP), 6, 1, D3DX_DEFAULT, D3DFMT_DXT5);
    EXPECT_EQ(shape.width, 8u);
    EXPECT_EQ(shape.height, 4u);
}

}  // namespace
