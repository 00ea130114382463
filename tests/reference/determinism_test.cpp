// The same frame, whatever the number of rasterising threads and whichever kernel set runs:
// tiles own their pixels, and every kernel set does the same arithmetic per pixel.
#include <cmath>

#include "draw_helpers.h"
#include "platform/reference/tile_raster.h"

namespace reference::testing {
namespace {

class DeterminismTest : public DrawTest {
protected:
    void SetUp() override { CreateDevice(300, 200, D3DFMT_A8R8G8B8); }
    void TearDown() override {
        UseKernelSet(BestKernelSet());
        DrawTest::TearDown();
    }

    // Many overlapping perspective triangles through every stage of the pipeline, from a fixed
    // pseudo-random sequence.
    std::vector<std::uint32_t> BusyFrame() {
        std::uint32_t seed = 12345;
        auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return (seed >> 8) / 16777216.0f;
        };
        IDirect3DTexture9* texture = MakeTexture(64, 64, 0, [](UINT level, UINT x, UINT y) {
            return ((x ^ y) & 1) ? 0xC0FF8040u : 0x40204080u + level * 0x00101010u;
        });
        D3DMATRIX projection{};
        projection._11 = projection._22 = 1;
        projection._33 = 0.5f;
        projection._34 = 1;
        device_->SetTransform(D3DTS_PROJECTION, &projection);
        StartUnlit(0xFF102030);
        device_->SetTexture(0, texture);
        device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        SetSampler(0, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTADDRESS_WRAP);
        device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        for (int batch = 0; batch < 6; ++batch) {
            device_->SetRenderState(D3DRS_ALPHABLENDENABLE, batch % 2);
            device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
            device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
            device_->SetRenderState(D3DRS_ALPHATESTENABLE, batch == 2);
            device_->SetRenderState(D3DRS_ALPHAREF, 0x30);
            device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
            // 700 triangles: 2100 vertices, more than a draw shades in one slice, so several
            // threads share each draw's vertex stage too.
            constexpr int kTriangles = 700;
            std::vector<TestVertex> triangles;
            for (int i = 0; i < kTriangles; ++i) {
                for (int k = 0; k < 3; ++k) {
                    float w = 0.5f + 4.0f * next();
                    float x = (next() * 2.4f - 1.2f) * w, y = (next() * 2.4f - 1.2f) * w;
                    auto colour = static_cast<DWORD>(next() * 4294967295.0f);
                    triangles.push_back({x, y, w, colour, next() * 4, next() * 4, next(), next()});
                }
            }
            Draw(D3DPT_TRIANGLELIST, triangles, kTriangles);
        }
        std::vector<std::uint32_t> frame = Frame();
        device_->SetTexture(0, nullptr);
        texture->Release();
        return frame;
    }
};

TEST_F(DeterminismTest, ThreadCountDoesNotChangeTheFrame) {
    ASSERT_TRUE(SetRasterThreads(device_, 1));
    std::vector<std::uint32_t> single = BusyFrame();
    ASSERT_TRUE(SetRasterThreads(device_, 5));
    std::vector<std::uint32_t> several = BusyFrame();
    EXPECT_TRUE(single == several);
    int distinct = 0;
    for (std::size_t i = 1; i < single.size(); ++i) distinct += single[i] != single[i - 1];
    EXPECT_GT(distinct, 10000) << "the frame should be busy enough to show a difference";
}

TEST_F(DeterminismTest, EveryKernelSetDrawsTheSameFrame) {
    if (BestKernelSet() == KernelSet::Sse2) GTEST_SKIP() << "this processor has only the baseline kernels";
    UseKernelSet(KernelSet::Sse2);
    const std::vector<std::uint32_t> baseline = BusyFrame();
    for (KernelSet wider : {KernelSet::Avx2, KernelSet::Avx512}) {
        if (wider > BestKernelSet()) break;
        UseKernelSet(wider);
        const std::vector<std::uint32_t> wide = BusyFrame();
        std::size_t differing = 0;
        for (std::size_t i = 0; i < baseline.size(); ++i) differing += baseline[i] != wide[i];
        EXPECT_EQ(0u, differing) << "kernel set " << static_cast<int>(wider);
    }
}

}  // namespace
}  // namespace reference::testing
