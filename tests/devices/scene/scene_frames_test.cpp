// The viewer's scene at three poses and two clock times. The reference device draws the same
// bytes whatever its thread count, kernel set and pass pairing; the OpenGL device, on each of
// Mesa's software drivers, comes within 40 dB of it. A failure leaves both frames and where they
// differ beside the test's log.
#include "scene_frames.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/reference/tile_raster.h"

namespace scenetest {
namespace {

struct Configuration {
    std::string name;
    std::string environment;
};

// Every kernel set this processor runs, each with one and two threads, pairing on and off.
std::vector<Configuration> ReferenceConfigurations() {
    std::vector<std::string> sets = {"sse2"};
    const reference::KernelSet best = reference::BestKernelSet();
    if (best != reference::KernelSet::Sse2) sets.push_back("avx2");
    if (best == reference::KernelSet::Avx512) sets.push_back("avx512");
    std::vector<Configuration> configurations;
    for (const std::string& set : sets)
        for (const char* threads : {"1", "2"})
            for (const char* pairing : {"1", "0"})
                configurations.push_back({set + "-threads" + threads + "-pairing" + pairing,
                                          "QUENOLDE_REF_SIMD=" + set + " QUENOLDE_REF_THREADS=" + threads +
                                              " QUENOLDE_REF_PAIRING=" + pairing});
    return configurations;
}

std::string FramePath(const Pose& pose, unsigned time, const std::string& configuration) {
    return OutputFolder() + "/" + pose.name + "-" + std::to_string(time) + "-" + configuration;
}

TEST(ReferenceFrames, AreTheSameWhateverTheThreadsKernelsAndPairing) {
    const std::vector<Configuration> configurations = ReferenceConfigurations();
    for (const Pose& pose : kPoses) {
        for (unsigned time : kClockTimes) {
            const std::string firstStem = FramePath(pose, time, configurations.front().name);
            Image first;
            ASSERT_EQ(0,
                      CaptureFrame(configurations.front().environment, "ref", pose, time, firstStem + ".png", first));
            for (std::size_t c = 1; c < configurations.size(); ++c) {
                const std::string stem = FramePath(pose, time, configurations[c].name);
                Image frame;
                ASSERT_EQ(0, CaptureFrame(configurations[c].environment, "ref", pose, time, stem + ".png", frame));
                if (frame.bgra != first.bgra)
                    ADD_FAILURE() << pose.name << " at " << time << " ms: " << configurations[c].name
                                  << " differs from " << configurations.front().name << ":"
                                  << WriteDifference(first, frame, stem);
            }
        }
    }
}

class OpenGlFrames : public ::testing::TestWithParam<const char*> {};

TEST_P(OpenGlFrames, ComeWithin40DecibelsOfTheReference) {
    const std::string driver = GetParam();
    for (const Pose& pose : kPoses) {
        for (unsigned time : kClockTimes) {
            const std::string stem = FramePath(pose, time, driver);
            Image reference, opengl;
            ASSERT_EQ(0, CaptureFrame("QUENOLDE_REF_PAIRING=1", "ref", pose, time, stem + "-reference.png", reference));
            const int code = CaptureFrame("QUENOLDE_GL_ALLOW_SOFTWARE=1 GALLIUM_DRIVER=" + driver, "hal", pose, time,
                                          stem + ".png", opengl);
            if (code == 3) GTEST_SKIP() << "no OpenGL device here";
            ASSERT_EQ(0, code);
            const double psnr = PsnrRgb(reference, opengl);
            std::printf("PSNR %s %s %u ms: %.2f dB\n", driver.c_str(), pose.name, time, psnr);
            RecordProperty(std::string(pose.name) + "-" + std::to_string(time), std::to_string(psnr));
            EXPECT_GE(psnr, 40.0) << pose.name << " at " << time << " ms on " << driver << ":"
                                  << WriteDifference(reference, opengl, stem);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Drivers, OpenGlFrames, ::testing::Values("llvmpipe", "softpipe"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace scenetest
