#pragma once
// A device on a fresh headless window, for tests that hold a device to pictures worked out by
// hand. The device comes from a factory, so that the same cases can run on every device that
// draws; the hardware device's factory is here, and it skips (saying why) where no OpenGL
// context can be made at all.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "platform/d3d9/device_backend.h"
#include "platform/gl/gl_backend.h"
#include "platform/gl/gl_info.h"
#include "platform/gl/readback.h"
#include "../common/headless_device.h"

namespace gl::testing {

struct DeviceFactory {
    const char* name;
    const d3d9::DeviceBackend& (*backend)();
    DWORD vertexProcessing;
    bool (*readColour)(IDirect3DDevice9*, std::vector<std::uint32_t>&);
    bool (*readDepth)(IDirect3DDevice9*, std::vector<std::uint32_t>&);
    // Largest difference per channel accepted where texture filtering or rounding legitimately
    // differ between devices; 0 where the outcome is exact.
    int tolerance;
};

inline void PrintTo(const DeviceFactory& factory, std::ostream* out) { *out << factory.name; }

inline const DeviceFactory kHardware{"OpenGL",           gl::Backend,         D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                     gl::ReadBackBuffer, gl::ReadDepthBuffer, 1};

using devicetest::FreshWindow;
using devicetest::Parameters;
using devicetest::References;

// Skips the current test, saying why, when this machine gives no OpenGL context at all.
#define SKIP_WITHOUT_OPENGL()                                                                         \
    do {                                                                                              \
        if (gl::ProbedGl() == nullptr) GTEST_SKIP() << "no OpenGL 3.3 core context can be made here"; \
    } while (false)

class DeviceTest : public ::testing::TestWithParam<DeviceFactory> {
protected:
    void SetUp() override {
        SKIP_WITHOUT_OPENGL();
        ASSERT_NO_FATAL_FAILURE(CreateDevice(Parameters(64, 64)));
    }
    void TearDown() override { DestroyDevice(); }

    void CreateDevice(D3DPRESENT_PARAMETERS p) {
        DestroyDevice();
        window_ = FreshWindow("device test");
        p.hDeviceWindow = window_;
        ASSERT_EQ(D3D_OK, GetParam().backend().create(nullptr, window_, GetParam().vertexProcessing, p, &device_));
        width_ = static_cast<int>(p.BackBufferWidth);
        height_ = static_cast<int>(p.BackBufferHeight);
    }

    void DestroyDevice() {
        if (device_ != nullptr) {
            EXPECT_EQ(0u, device_->Release());
        }
        device_ = nullptr;
    }

    std::vector<std::uint32_t> Frame() {
        std::vector<std::uint32_t> pixels;
        EXPECT_TRUE(GetParam().readColour(device_, pixels));
        return pixels;
    }
    std::uint32_t Pixel(int x, int y) { return Frame()[static_cast<std::size_t>(y) * width_ + x]; }

    IDirect3DDevice9* device_ = nullptr;
    HWND window_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// Whether every colour channel of two A8R8G8B8 words lies within `tolerance`; alpha is left out
// (an X8R8G8B8 back buffer has none) unless asked for.
inline bool ChannelsNear(std::uint32_t a, std::uint32_t b, int tolerance, int channels) {
    for (int shift = 0; shift < 8 * channels; shift += 8) {
        const int x = static_cast<int>((a >> shift) & 255), y = static_cast<int>((b >> shift) & 255);
        if (x - y > tolerance || y - x > tolerance) return false;
    }
    return true;
}
inline bool Near(std::uint32_t a, std::uint32_t b, int tolerance) { return ChannelsNear(a, b, tolerance, 3); }
inline bool NearWithAlpha(std::uint32_t a, std::uint32_t b, int tolerance) { return ChannelsNear(a, b, tolerance, 4); }

inline std::string Hex(std::uint32_t colour) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", colour);
    return text;
}

#define EXPECT_COLOUR_NEAR(expected, actual, tolerance)            \
    EXPECT_PRED3(::gl::testing::Near, expected, actual, tolerance) \
        << "expected " << ::gl::testing::Hex(expected) << ", got " << ::gl::testing::Hex(actual)
#define EXPECT_ARGB_NEAR(expected, actual, tolerance)                       \
    EXPECT_PRED3(::gl::testing::NearWithAlpha, expected, actual, tolerance) \
        << "expected " << ::gl::testing::Hex(expected) << ", got " << ::gl::testing::Hex(actual)

}  // namespace gl::testing
