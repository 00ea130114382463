// The two texture stages: each operation and argument, the modifiers, the chaining of stage 0
// into stage 1, and which coordinate set a stage reads.
#include "draw_helpers.h"

namespace reference::testing {
namespace {

// Texture T = (a 128, r 64, g 128, b 192), diffuse D = (255, 128, 64, 32) and texture factor
// F = (64, 16, 32, 48). Results are worked out per channel and rounded to nearest:
// MODULATE is x y / 255, the 2X and 4X forms double and quadruple it, ADD and SUBTRACT
// saturate at 255 and 0, COMPLEMENT is 255 - x.
constexpr DWORD kTexel = 0x804080C0;
constexpr DWORD kDiffuse = 0xFF804020;
constexpr DWORD kFactor = 0x40102030;

struct StageCase {
    const char* name;
    DWORD colourOp, colourArg1, colourArg2;
    DWORD alphaOp, alphaArg1, alphaArg2;
    int a, r, g, b;
};

const StageCase kStageCases[] = {
    {"select texture", D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE,
     128, 64, 128, 192},
    {"select second", D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE,
     255, 128, 64, 32},
    // 64 x 128 / 255 = 32.1, 192 x 32 / 255 = 24.1, 128 x 255 / 255 = 128
    {"modulate", D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, 128, 32,
     32, 24},
    {"modulate 2x", D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_DIFFUSE,
     255, 64, 64, 48},
    // 4 x 32.125 = 128.5, 4 x 24.09 = 96.4
    {"modulate 4x", D3DTOP_MODULATE4X, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE4X, D3DTA_TEXTURE, D3DTA_DIFFUSE,
     255, 129, 129, 96},
    {"add", D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_DIFFUSE, 255, 192, 192, 224},
    {"subtract", D3DTOP_SUBTRACT, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SUBTRACT, D3DTA_TEXTURE, D3DTA_DIFFUSE, 0, 0, 64,
     160},
    {"factor", D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_DIFFUSE, 64, 16,
     32, 48},
    {"complement", D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT, 0, D3DTOP_SELECTARG1,
     D3DTA_TEXTURE | D3DTA_COMPLEMENT, 0, 127, 191, 127, 63},
    {"alpha replicate", D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, 0,
     128, 128, 128, 128},
    // (255 - 16) x 128 / 255 = 120.0, (255 - 32) x 64 / 255 = 56.0, (255 - 48) x 32 / 255 = 26.0
    {"complemented factor times current", D3DTOP_MODULATE, D3DTA_TFACTOR | D3DTA_COMPLEMENT, D3DTA_CURRENT,
     D3DTOP_SELECTARG1, D3DTA_CURRENT, 0, 255, 120, 56, 26},
};

class StageTest : public DrawTest {
protected:
    void SetUp() override { CreateDevice(16, 16, D3DFMT_A8R8G8B8); }

    IDirect3DTexture9* Solid(DWORD texel) {
        return MakeTexture(1, 1, 1, [texel](UINT, UINT, UINT) { return texel; });
    }
};

TEST_F(StageTest, EachOperationAndArgumentGivesItsWorkedValue) {
    IDirect3DTexture9* texture = Solid(kTexel);
    for (const StageCase& c : kStageCases) {
        StartUnlit();
        device_->SetTexture(0, texture);
        device_->SetRenderState(D3DRS_TEXTUREFACTOR, kFactor);
        device_->SetTextureStageState(0, D3DTSS_COLOROP, c.colourOp);
        device_->SetTextureStageState(0, D3DTSS_COLORARG1, c.colourArg1);
        device_->SetTextureStageState(0, D3DTSS_COLORARG2, c.colourArg2);
        device_->SetTextureStageState(0, D3DTSS_ALPHAOP, c.alphaOp);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, c.alphaArg1);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, c.alphaArg2);
        Rectangle(0, 0, 16, 16, kDiffuse);
        EXPECT_TRUE(Near(Pixel(8, 8), c.a, c.r, c.g, c.b)) << c.name;
    }
    device_->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(StageTest, DisablingStageZeroShowsTheDiffuseColour) {
    StartUnlit();
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
    Rectangle(0, 0, 16, 16, kDiffuse);
    EXPECT_EQ(kDiffuse, Pixel(8, 8));
}

TEST_F(StageTest, StageOneWorksOnStageZerosResult) {
    IDirect3DTexture9* first = Solid(kTexel);
    IDirect3DTexture9* second = Solid(0xFF808080);
    StartUnlit();
    device_->SetTexture(0, first);
    device_->SetTexture(1, second);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device_->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
    device_->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TEXTURE);
    device_->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_CURRENT);
    Rectangle(0, 0, 16, 16, kDiffuse);
    // (64, 128, 192) x 128 / 255 = (32.1, 64.3, 96.4); alpha carried from stage 0.
    EXPECT_TRUE(Near(Pixel(8, 8), 128, 32, 64, 96));

    // Stage 2 and later never draw, even when enabled.
    device_->SetTextureStageState(2, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(2, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    Rectangle(0, 0, 16, 16, kDiffuse);
    EXPECT_TRUE(Near(Pixel(8, 8), 128, 32, 64, 96));
    device_->SetTexture(0, nullptr);
    device_->SetTexture(1, nullptr);
    first->Release();
    second->Release();
}

TEST_F(StageTest, AStageWithoutATextureReadsOpaqueWhite) {
    StartUnlit();
    Rectangle(0, 0, 16, 16, kDiffuse);  // stage 0 default: texture x diffuse, alpha from the texture
    EXPECT_EQ(0xFF804020u, Pixel(8, 8));
}

TEST_F(StageTest, TexCoordIndexPicksTheCoordinateSet) {
    IDirect3DTexture9* texture =
        MakeTexture(2, 1, 1, [](UINT, UINT x, UINT) { return x == 0 ? 0xFFFF0000u : 0xFF0000FFu; });
    StartUnlit();
    device_->SetTexture(0, texture);
    // Set 0 points into texel 0 (red), set 1 into texel 1 (blue).
    auto quad = [this] {
        std::vector<TestVertex> v = {At(0, 0), At(16, 0), At(16, 16), At(0, 16)};
        for (TestVertex& p : v) p.u0 = 0.25f, p.v0 = 0.5f, p.u1 = 0.75f, p.v1 = 0.5f;
        Draw(D3DPT_TRIANGLEFAN, v, 2);
    };
    quad();
    EXPECT_EQ(0xFFFF0000u, Pixel(8, 8));
    device_->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 1);
    quad();
    EXPECT_EQ(0xFF0000FFu, Pixel(8, 8));
    device_->SetTexture(0, nullptr);
    texture->Release();
}

}  // namespace
}  // namespace reference::testing
