// With several threads a frame goes to the rasterising threads in chunks while the rest is still
// being recorded. Whatever reaches the device in between must still see the frame as drawn up to
// that call: a texture changed after a chunk was handed off, a clear of part of the target, a
// read-back, and the device released with a chunk still in flight.
#include "draw_helpers.h"
#include "platform/reference/readback.h"

namespace reference::testing {
namespace {

class ChunkedFrameTest : public DrawTest {
protected:
    void SetUp() override {
        CreateDevice(64, 64);
        ASSERT_TRUE(SetRasterThreads(device_, 3));
    }

    // Enough small triangles, tiling the rectangle, for the draw to leave as a chunk of its own.
    void ManyTriangles(float x0, float y0, float x1, float y1) {
        std::vector<TestVertex> triangles;
        constexpr int kColumns = 16, kRows = 16;  // 512 triangles
        const float w = (x1 - x0) / kColumns, h = (y1 - y0) / kRows;
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                const float left = x0 + column * w, top = y0 + row * h;
                const TestVertex a = At(left, top, 0.5f, 0xFFFFFFFF, 0.5f, 0.5f);
                const TestVertex b = At(left + w, top, 0.5f, 0xFFFFFFFF, 0.5f, 0.5f);
                const TestVertex c = At(left + w, top + h, 0.5f, 0xFFFFFFFF, 0.5f, 0.5f);
                const TestVertex d = At(left, top + h, 0.5f, 0xFFFFFFFF, 0.5f, 0.5f);
                triangles.insert(triangles.end(), {a, b, c, a, c, d});
            }
        }
        Draw(D3DPT_TRIANGLELIST, triangles, kColumns * kRows * 2);
    }

    void Fill(IDirect3DTexture9* texture, DWORD texel) {
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(D3D_OK, texture->LockRect(0, &locked, nullptr, 0));
        *static_cast<DWORD*>(locked.pBits) = texel;
        texture->UnlockRect(0);
    }
};

TEST_F(ChunkedFrameTest, ATextureChangedAfterAHandedOffDrawLeavesThatDrawAsItWas) {
    StartUnlit();
    IDirect3DTexture9* texture = MakeTexture(1, 1, 1, [](UINT, UINT, UINT) { return 0xFFFF0000u; });
    device_->SetTexture(0, texture);
    for (int frame = 0; frame < 3; ++frame) {
        Fill(texture, 0xFFFF0000u);
        ManyTriangles(0, 0, 32, 64);   // red, handed off
        Fill(texture, 0xFF0000FFu);    // must wait for the red draw
        ManyTriangles(32, 0, 64, 64);  // blue
        EXPECT_EQ(0xFFFF0000u, Pixel(10, 30)) << "frame " << frame;
        EXPECT_EQ(0xFF0000FFu, Pixel(50, 30)) << "frame " << frame;
    }
    device_->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(ChunkedFrameTest, APartialClearLandsAfterTheDrawsBeforeIt) {
    StartUnlit();
    DiffuseOnly();
    ManyTriangles(0, 0, 64, 64);  // white everywhere, handed off
    D3DRECT corner{0, 0, 16, 16};
    device_->Clear(1, &corner, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    ManyTriangles(48, 48, 64, 64);  // and white again over another corner
    EXPECT_EQ(0xFF00FF00u, Pixel(5, 5));
    EXPECT_EQ(0xFFFFFFFFu, Pixel(30, 30));
    EXPECT_EQ(0xFFFFFFFFu, Pixel(60, 60));
}

TEST_F(ChunkedFrameTest, TheDeviceGoesWithAChunkInFlight) {
    StartUnlit();
    DiffuseOnly();
    ManyTriangles(0, 0, 64, 64);
    ManyTriangles(0, 0, 64, 64);
    // TearDown releases the device while the first draw may still be rasterised; the leak and
    // address checks of the sanitizer build catch a thread left running on freed memory.
}

}  // namespace
}  // namespace reference::testing
