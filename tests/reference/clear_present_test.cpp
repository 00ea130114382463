// Clearing and presenting: the colour and depth a clear leaves, limited to the viewport and
// rectangles, and the frame that reaches the window.
#include "device_fixture.h"

namespace reference::testing {
namespace {

using ClearTest = DeviceTest;

TEST_F(ClearTest, ClearsColourAndDepthAndPresentsTheFrame) {
    ASSERT_EQ(D3D_OK, device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFE4FFFF, 1.0f, 0));
    ASSERT_EQ(D3D_OK, device_->Present(nullptr, nullptr, nullptr, nullptr));
    const headless::Frame& shown = headless::LastFrame();
    ASSERT_EQ(800, shown.width);
    ASSERT_EQ(600, shown.height);
    EXPECT_EQ(1u, shown.presentCount);
    EXPECT_EQ(0xFFE4FFFFu, shown.bgra[0]);
    EXPECT_EQ(0xFFE4FFFFu, shown.bgra[600 * 800 - 1]);
    std::vector<std::uint32_t> depth;
    ASSERT_TRUE(ReadDepthBuffer(device_, depth));
    EXPECT_EQ(0xFFFFFFu, depth[12345]);

    device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.5f, 0);
    ASSERT_TRUE(ReadDepthBuffer(device_, depth));
    EXPECT_EQ(0x800000u, depth[0]);  // 0.5 of 2^24 - 1, rounded
    EXPECT_EQ(0xFFE4FFFFu, Pixel(5, 5)) << "a depth clear leaves the colour";
}

TEST_F(ClearTest, StaysInsideTheViewportAndTheRectangles) {
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    D3DVIEWPORT9 viewport{100, 50, 200, 100, 0.0f, 1.0f};
    ASSERT_EQ(D3D_OK, device_->SetViewport(&viewport));
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    EXPECT_EQ(0xFF0000FFu, Pixel(100, 50));
    EXPECT_EQ(0xFF0000FFu, Pixel(299, 149));
    EXPECT_EQ(0xFF000000u, Pixel(300, 149));
    EXPECT_EQ(0xFF000000u, Pixel(99, 50));

    D3DRECT rect{0, 0, 150, 60};  // reaches outside the viewport: only the overlap is cleared
    device_->Clear(1, &rect, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    EXPECT_EQ(0xFF00FF00u, Pixel(149, 59));
    EXPECT_EQ(0xFF0000FFu, Pixel(150, 59));
    EXPECT_EQ(0xFF000000u, Pixel(50, 20));
}

TEST_F(ClearTest, RefusesWhatCannotBeCleared) {
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->Clear(0, nullptr, 0, 0, 1.0f, 0));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.5f, 0));
}

TEST_F(ClearTest, BackBufferSizeComesFromTheParametersOrTheWindow) {
    CreateDevice(64, 32);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF123456, 1.0f, 0);
    EXPECT_EQ(64u * 32u, Frame().size());

    DestroyDevice();
    D3DPRESENT_PARAMETERS p = Parameters(0, 0);
    p.hDeviceWindow = window_;
    RECT client{};
    ASSERT_TRUE(GetClientRect(window_, &client));
    ASSERT_EQ(D3D_OK, Backend().create(nullptr, window_, D3DCREATE_SOFTWARE_VERTEXPROCESSING, p, &device_));
    EXPECT_EQ(static_cast<std::size_t>(client.right - client.left) * (client.bottom - client.top), Frame().size());

    IDirect3DDevice9* refused = nullptr;
    p = Parameters(800, 600);
    EXPECT_EQ(D3DERR_INVALIDCALL, Backend().create(nullptr, window_, D3DCREATE_HARDWARE_VERTEXPROCESSING, p, &refused));
    p.BackBufferFormat = D3DFMT_R5G6B5;
    EXPECT_EQ(D3DERR_NOTAVAILABLE,
              Backend().create(nullptr, window_, D3DCREATE_SOFTWARE_VERTEXPROCESSING, p, &refused));
    EXPECT_EQ(nullptr, refused);
}

}  // namespace
}  // namespace reference::testing
