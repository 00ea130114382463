// The viewer's frame on the OpenGL device does only the GL work the frame needs: its programs
// are made with the device, a steady frame re-creates no buffer, writes each draw's matrices and
// little else, and reads nothing back when no one looks at the frame.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/fenetre.h"
#include "app/rendu.h"
#include "platform/d3d9/device_backend.h"
#include "platform/gl/readback.h"
#include "platform/win32/headless/headless.h"

namespace {

struct Frames {
    gl::FrameStatistics first, steady;
    bool opengl = false;
};

// Runs the viewer on the OpenGL device, if there is one, for a few frames without keeping them.
Frames ViewerFrames() {
    constexpr unsigned kSteadyFrame = 4;
    static Frames frames;
    setenv("QUENOLDE_GL_ALLOW_SOFTWARE", "1", 1);
    d3d9::SetDevicePolicy(d3d9::DevicePolicy::Automatic);
    headless::Reset();
    headless::KeepFramePixels(false);
    headless::SetTickCount(1000);
    headless::SetPeekHook([](unsigned) {
        const unsigned presented = headless::LastFrame().presentCount;
        gl::FrameStatistics now;
        if (presented == 0 || !gl::GetFrameStatistics(g_device, &now)) {
            if (presented > 0) PostMessageA(headless::MainWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
            return;
        }
        frames.opengl = true;
        if (now.frames == 1) frames.first = now;
        if (now.frames < kSteadyFrame) return;
        frames.steady = now;
        PostMessageA(headless::MainWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    WinMain(nullptr, nullptr, nullptr, 0);
    headless::SetPeekHook(nullptr);
    return frames;
}

TEST(OpenGlFrameWork, TheFirstFrameCompilesNothingAndASteadyFrameUploadsOnlyWhatChanged) {
    const Frames frames = ViewerFrames();
    if (!frames.opengl) GTEST_SKIP() << "no OpenGL device here";
    EXPECT_EQ(0u, frames.first.programsCompiledLastFrame) << "the device's warm-up missed a program of the frame";

    const gl::CallCounts& counts = frames.steady.countsLastFrame;
    const std::uint32_t draws = frames.steady.drawsLastFrame;
    EXPECT_GT(draws, 200u) << "the trees, the terrain passes and the water";
    EXPECT_EQ(0u, counts.Of(gl::GlFunction::BufferData));
    EXPECT_EQ(0u, counts.Of(gl::GlFunction::ReadPixels));
    EXPECT_EQ(0u, counts.Of(gl::GlFunction::TexImage2D));
    // One write of the matrices per draw that moves, and of the lights or material when they change.
    EXPECT_LE(counts.Of(gl::GlFunction::BufferSubData), draws + 3);
    EXPECT_LE(counts.bytesUploaded, 256u * (draws + 3));
    EXPECT_LE(counts.Of(gl::GlFunction::UseProgram), 3u);
    EXPECT_LT(counts.Total(), 3 * draws);
}

}  // namespace
