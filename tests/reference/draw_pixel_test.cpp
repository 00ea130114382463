// What happens to a shaded pixel: the alpha test, the blend factors, and the colour write mask.
#include "draw_helpers.h"

namespace reference::testing {
namespace {

class PixelTest : public DrawTest {
protected:
    // An A8R8G8B8 back buffer, so that destination alpha is kept and can be read back.
    void SetUp() override { CreateDevice(32, 32, D3DFMT_A8R8G8B8); }
};

TEST_F(PixelTest, AlphaReferenceEightDropsSevenAndKeepsEight) {
    StartUnlit();
    // The tree's states: ALPHAREF 8, GREATEREQUAL, alpha from the texture (stage 0's default).
    IDirect3DTexture9* texture =
        MakeTexture(2, 1, 1, [](UINT, UINT x, UINT) { return x == 0 ? 0x07FF0000u : 0x08FF0000u; });
    device_->SetTexture(0, texture);
    device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device_->SetRenderState(D3DRS_ALPHAREF, 8);
    device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    Rectangle(0, 0, 16, 16);
    EXPECT_EQ(0xFF000000u, Pixel(3, 3)) << "alpha 7 is dropped";
    EXPECT_EQ(0x08FF0000u, Pixel(12, 3)) << "alpha 8 is kept";
    std::vector<std::uint32_t> depth;
    ReadDepthBuffer(device_, depth);
    EXPECT_EQ(0xFFFFFFu, depth[3 * 32 + 3]) << "a dropped pixel writes no depth";
    device_->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(PixelTest, EveryAlphaFunctionComparesWithTheReference) {
    struct Case {
        DWORD function;
        bool below, equal, above;  // alpha 7, 8 and 9 against a reference of 8
    };
    const Case cases[] = {{D3DCMP_NEVER, false, false, false},      {D3DCMP_LESS, true, false, false},
                          {D3DCMP_EQUAL, false, true, false},       {D3DCMP_LESSEQUAL, true, true, false},
                          {D3DCMP_GREATER, false, false, true},     {D3DCMP_NOTEQUAL, true, false, true},
                          {D3DCMP_GREATEREQUAL, false, true, true}, {D3DCMP_ALWAYS, true, true, true}};
    for (const Case& c : cases) {
        StartUnlit();
        device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        device_->SetRenderState(D3DRS_ALPHAREF, 8);
        device_->SetRenderState(D3DRS_ALPHAFUNC, c.function);
        DiffuseOnly();
        Rectangle(0, 0, 8, 8, 0x07FFFFFF);
        Rectangle(8, 0, 16, 8, 0x08FFFFFF);
        Rectangle(16, 0, 24, 8, 0x09FFFFFF);
        EXPECT_EQ(c.below, Pixel(4, 4) != 0xFF000000u) << c.function;
        EXPECT_EQ(c.equal, Pixel(12, 4) != 0xFF000000u) << c.function;
        EXPECT_EQ(c.above, Pixel(20, 4) != 0xFF000000u) << c.function;
    }
}

// Source (a 64, r 128, g 64, b 200) over destination (a 192, r 32, g 96, b 160). Each factor is
// worked out per channel as value x factor / 255, rounded to nearest.
struct BlendCase {
    DWORD factor;
    int asSource[4];       // SRCBLEND = factor, DESTBLEND = ZERO: source x factor
    int asDestination[4];  // SRCBLEND = ZERO, DESTBLEND = factor: destination x factor
};

const BlendCase kBlendCases[] = {
    {D3DBLEND_ZERO, {0, 0, 0, 0}, {0, 0, 0, 0}},
    {D3DBLEND_ONE, {64, 128, 64, 200}, {192, 32, 96, 160}},
    // factor = source colour: 128 x 128 / 255 = 64.25; 200 x 200 / 255 = 156.9; 160 x 200 / 255 = 125.5
    {D3DBLEND_SRCCOLOR, {16, 64, 16, 157}, {48, 16, 24, 125}},
    {D3DBLEND_INVSRCCOLOR, {48, 64, 48, 43}, {144, 16, 72, 35}},
    // factor = 64 / 255 on every channel
    {D3DBLEND_SRCALPHA, {16, 32, 16, 50}, {48, 8, 24, 40}},
    {D3DBLEND_INVSRCALPHA, {48, 96, 48, 150}, {144, 24, 72, 120}},
    // factor = 192 / 255
    {D3DBLEND_DESTALPHA, {48, 96, 48, 151}, {145, 24, 72, 120}},
    {D3DBLEND_INVDESTALPHA, {16, 32, 16, 49}, {47, 8, 24, 40}},
    // factor = destination colour: 64 x 96 / 255 = 24.1; 32 x 32 / 255 = 4.0
    {D3DBLEND_DESTCOLOR, {48, 16, 24, 125}, {145, 4, 36, 100}},
    {D3DBLEND_INVDESTCOLOR, {16, 112, 40, 75}, {47, 28, 60, 60}},
};

TEST_F(PixelTest, EachBlendFactorScalesItsSide) {
    for (const BlendCase& c : kBlendCases) {
        for (bool onSource : {true, false}) {
            StartUnlit(0xC02060A0);
            DiffuseOnly();
            device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
            device_->SetRenderState(D3DRS_SRCBLEND, onSource ? c.factor : D3DBLEND_ZERO);
            device_->SetRenderState(D3DRS_DESTBLEND, onSource ? D3DBLEND_ZERO : c.factor);
            Rectangle(0, 0, 8, 8, 0x408040C8);
            const int* want = onSource ? c.asSource : c.asDestination;
            EXPECT_TRUE(Near(Pixel(4, 4), want[0], want[1], want[2], want[3]))
                << "factor " << c.factor << (onSource ? " as source" : " as destination");
        }
    }
}

TEST_F(PixelTest, ColourWriteEnableMasksChannels) {
    StartUnlit(0x11223344);
    DiffuseOnly();
    device_->SetRenderState(D3DRS_COLORWRITEENABLE, 0x1 | 0x4);  // red and blue only
    Rectangle(0, 0, 8, 8, 0xAABBCCDD);
    EXPECT_EQ(0x11BB33DDu, Pixel(4, 4));
}

TEST_F(PixelTest, AnOpaqueBackBufferKeepsAlphaAtFull) {
    CreateDevice(32, 32);  // X8R8G8B8
    StartUnlit(0x00000000);
    DiffuseOnly();
    EXPECT_EQ(0xFF000000u, Pixel(0, 0));
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_DESTALPHA);  // reads as 255 here
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    Rectangle(0, 0, 8, 8, 0x10808080);
    EXPECT_EQ(0xFF808080u, Pixel(4, 4));
}

}  // namespace
}  // namespace reference::testing
