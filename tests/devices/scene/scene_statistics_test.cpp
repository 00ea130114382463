// The viewer's frame on the reference device takes the fast path it was built for: the terrain's
// two passes over the same triangles are drawn as one pair. A change that silently turns the pair
// off (a state that no longer matches, a texture compared wrongly) fails here.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/fenetre.h"
#include "app/rendu.h"
#include "platform/d3d9/device_backend.h"
#include "platform/reference/readback.h"
#include "platform/win32/headless/headless.h"

namespace {

// Runs the viewer until it has presented one frame; what that frame took.
reference::FrameStatistics FirstFrameStatistics() {
    static reference::FrameStatistics statistics;
    static bool read = false;
    d3d9::SetDevicePolicy(d3d9::DevicePolicy::ReferenceOnly);
    headless::Reset();
    headless::SetTickCount(1000);
    headless::SetPeekHook([](unsigned) {
        if (read || headless::LastFrame().presentCount == 0) return;
        read = reference::GetFrameStatistics(g_device, &statistics);
        PostMessageA(headless::MainWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    WinMain(nullptr, nullptr, nullptr, 0);
    EXPECT_TRUE(read) << "the viewer presented no frame on the reference device";
    return statistics;
}

TEST(SceneStatistics, TheTerrainPassesAreDrawnAsOnePair) {
    const reference::FrameStatistics frame = FirstFrameStatistics();
    EXPECT_EQ(1u, frame.pairedDraws);
    // The trees (two quads each), the two terrain passes and the water.
    EXPECT_GE(frame.draws, 4u);
    EXPECT_GT(frame.triangles, 1000u);
    // A tie between two triangles of the pair at one pixel is rare: most tiles keep the pair.
    EXPECT_LT(frame.tilesRedrawn, 20u);
}

TEST(SceneStatistics, ThePairingSwitchDrawsThePassesOneByOne) {
    setenv("QUENOLDE_REF_PAIRING", "0", 1);
    const reference::FrameStatistics frame = FirstFrameStatistics();
    EXPECT_EQ(0u, frame.pairedDraws);
    EXPECT_EQ(0u, frame.tilesRedrawn);
    EXPECT_GE(frame.draws, 4u);
}

}  // namespace
