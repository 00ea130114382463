// Where pixels land: clears, Direct3D 9's pixel centres and fill rule, culling with Direct3D's
// winding, the depth test, flat shading, and the frame that reaches the window.
#include "drawing.h"

namespace devices::testing {
namespace {

constexpr D3DCOLOR kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

using RasterTest = DeviceTest;

TEST_P(RasterTest, ClearsInsideTheViewportAndRectanglesAndPresentsTheFrame) {
    ASSERT_EQ(D3D_OK, device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFE4FFFF, 1.0f, 0));
    D3DVIEWPORT9 viewport{10, 5, 20, 10, 0.0f, 1.0f};
    ASSERT_EQ(D3D_OK, device_->SetViewport(&viewport));
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    D3DRECT rect{0, 0, 15, 8};  // reaches outside the viewport: only the overlap is cleared
    device_->Clear(1, &rect, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
    EXPECT_EQ(0xFFE4FFFFu, Pixel(9, 5));
    EXPECT_EQ(kGreen, Pixel(10, 5));
    EXPECT_EQ(kGreen, Pixel(14, 7));
    EXPECT_EQ(kBlue, Pixel(15, 7));
    EXPECT_EQ(kBlue, Pixel(29, 14));
    EXPECT_EQ(0xFFE4FFFFu, Pixel(30, 14));
    EXPECT_EQ(0xFFE4FFFFu, Pixel(29, 15));

    std::vector<std::uint32_t> depth;
    ASSERT_TRUE(GetParam().readDepth(device_, depth));
    EXPECT_EQ(0xFFFFFFu, depth[100]);
    device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.5f, 0);
    ASSERT_TRUE(GetParam().readDepth(device_, depth));
    EXPECT_NEAR(0x800000, static_cast<int>(depth[12 * 64 + 12]), Tolerance().depth);
    EXPECT_EQ(0xFFFFFFu, depth[0]) << "outside the viewport";

    EXPECT_EQ(D3DERR_INVALIDCALL, device_->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.5f, 0));

    ASSERT_EQ(D3D_OK, device_->Present(nullptr, nullptr, nullptr, nullptr));
    const headless::Frame& shown = headless::LastFrame();
    ASSERT_EQ(64, shown.width);
    ASSERT_EQ(64, shown.height);
    EXPECT_EQ(1u, shown.presentCount);
    EXPECT_EQ(0xFFE4FFFFu, shown.bgra[0]) << "the top row comes first";
    EXPECT_EQ(kGreen, shown.bgra[5 * 64 + 10]);
}

TEST_P(RasterTest, PixelCentresLieOnIntegerPositionsWithTheTopLeftRule) {
    UseVertexColours(device_);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    // Edges through pixel centres: the left and top ones include their pixels, the right and
    // bottom ones do not.
    DrawFan(device_, Rectangle(width_, 10, 30, 20, 40, kRed), kColouredFvf);
    EXPECT_EQ(kRed, Pixel(10, 30));
    EXPECT_EQ(kRed, Pixel(19, 39));
    EXPECT_EQ(kBlack, Pixel(20, 30));
    EXPECT_EQ(kBlack, Pixel(10, 40));
    EXPECT_EQ(kBlack, Pixel(9, 35));
    EXPECT_EQ(kBlack, Pixel(15, 29));
    // Edges half-way between centres cover the pixels whose centres they enclose.
    DrawFan(device_, Rectangle(width_, 40.5f, 2.5f, 43.5f, 4.5f, kGreen), kColouredFvf);
    EXPECT_EQ(kBlack, Pixel(40, 3));
    EXPECT_EQ(kGreen, Pixel(41, 3));
    EXPECT_EQ(kGreen, Pixel(43, 4));
    EXPECT_EQ(kBlack, Pixel(44, 4));
    EXPECT_EQ(kBlack, Pixel(42, 2));
    EXPECT_EQ(kBlack, Pixel(42, 5));
}

TEST_P(RasterTest, CullsByDirect3DWindingOnTheScreen) {
    UseVertexColours(device_);
    // Clockwise on the screen (y down), then the same corners counter-clockwise.
    const std::vector<ColouredVertex> clockwise = {{ClipX(4, 64), ClipY(4, 64), 0.5f, kRed},
                                                   {ClipX(20, 64), ClipY(4, 64), 0.5f, kRed},
                                                   {ClipX(4, 64), ClipY(20, 64), 0.5f, kRed}};
    const std::vector<ColouredVertex> counterClockwise = {clockwise[0], clockwise[2], clockwise[1]};
    struct Case {
        DWORD cullMode;
        bool clockwiseShows, counterClockwiseShows;
    };
    for (Case c : {Case{D3DCULL_CCW, true, false}, Case{D3DCULL_CW, false, true}, Case{D3DCULL_NONE, true, true}}) {
        device_->SetRenderState(D3DRS_CULLMODE, c.cullMode);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
        Draw(device_, D3DPT_TRIANGLELIST, clockwise, kColouredFvf);
        EXPECT_EQ(c.clockwiseShows ? kRed : kBlack, Pixel(6, 6)) << "cull mode " << c.cullMode;
        device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
        Draw(device_, D3DPT_TRIANGLELIST, counterClockwise, kColouredFvf);
        EXPECT_EQ(c.counterClockwiseShows ? kRed : kBlack, Pixel(6, 6)) << "cull mode " << c.cullMode;
    }
}

TEST_P(RasterTest, DepthTestKeepsTheNearestAndAcceptsEqualDepths) {
    UseVertexColours(device_);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    DrawFan(device_, Rectangle(width_, 0, 0, 32, 32, kGreen, 0.25f), kColouredFvf);
    DrawFan(device_, Rectangle(width_, 16, 16, 48, 48, kRed, 0.75f), kColouredFvf);
    EXPECT_EQ(kGreen, Pixel(20, 20)) << "the farther quad, drawn later, stays behind";
    EXPECT_EQ(kRed, Pixel(40, 40));
    std::vector<std::uint32_t> depth;
    ASSERT_TRUE(GetParam().readDepth(device_, depth));
    EXPECT_NEAR(0.25 * 16777215, depth[20 * 64 + 20], Tolerance().depth);
    EXPECT_NEAR(0.75 * 16777215, depth[40 * 64 + 40], Tolerance().depth);
    // A second pass at the same depth draws over the first (LESSEQUAL, the default).
    DrawFan(device_, Rectangle(width_, 0, 0, 32, 32, kBlue, 0.25f), kColouredFvf);
    EXPECT_EQ(kBlue, Pixel(20, 20));
    // With the test off the far quad shows through, and depth is not written.
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    DrawFan(device_, Rectangle(width_, 16, 16, 48, 48, kRed, 0.75f), kColouredFvf);
    EXPECT_EQ(kRed, Pixel(20, 20));
    ASSERT_TRUE(GetParam().readDepth(device_, depth));
    EXPECT_NEAR(0.25 * 16777215, depth[20 * 64 + 20], Tolerance().depth);
}

TEST_P(RasterTest, FlatShadingTakesTheFirstVertexColour) {
    UseVertexColours(device_);
    device_->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    const std::vector<ColouredVertex> triangle = {{ClipX(0, 64), ClipY(0, 64), 0.5f, kBlue},
                                                  {ClipX(60, 64), ClipY(0, 64), 0.5f, kRed},
                                                  {ClipX(0, 64), ClipY(60, 64), 0.5f, kGreen}};
    Draw(device_, D3DPT_TRIANGLELIST, triangle, kColouredFvf);
    EXPECT_EQ(kBlue, Pixel(10, 10));
    EXPECT_EQ(kBlue, Pixel(50, 2));
    // Gouraud shading blends the three: half-way along the top edge, half red and half blue.
    device_->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    Draw(device_, D3DPT_TRIANGLELIST, triangle, kColouredFvf);
    EXPECT_COLOUR_NEAR(0xFF7F0080u, Pixel(30, 0), Tolerance().interpolated);
}

INSTANTIATE_TEST_SUITE_P(Devices, RasterTest, DEVICE_FACTORIES, FACTORY_NAME);

}  // namespace
}  // namespace devices::testing
