#pragma once
// A device on a fresh headless window, for tests that hold every device to the same pictures
// worked out by hand. The device comes from a factory; each suite runs once per factory. The
// hardware device skips (saying why) where no OpenGL context can be made at all; on this machine
// it runs on Mesa's software drivers, allowed explicitly.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "../common/headless_device.h"
#include "platform/d3d9/device_backend.h"
#include "platform/gl/gl_backend.h"
#include "platform/gl/gl_info.h"
#include "platform/gl/readback.h"
#include "platform/reference/readback.h"
#include "platform/reference/reference_backend.h"

namespace devices::testing {

// How far a device may stray from a value worked out by hand, per channel (or, for depth, in
// units of the 24-bit buffer). The reference device computes what the hand computes, rounded
// once; a GPU's (or Mesa's) rasteriser, filtering and arithmetic legitimately differ a little.
struct Tolerances {
    int colour;        // a colour computed from lighting, blending or one filtered texel pair
    int interpolated;  // a colour interpolated across a triangle, or decoded from S3TC blocks
    int depth;
};

struct DeviceFactory {
    const char* name;
    const d3d9::DeviceBackend& (*backend)();
    DWORD vertexProcessing;
    bool (*readColour)(IDirect3DDevice9*, std::vector<std::uint32_t>&);
    bool (*readDepth)(IDirect3DDevice9*, std::vector<std::uint32_t>&);
    bool needsOpenGl;
    Tolerances tolerance;
};

inline void PrintTo(const DeviceFactory& factory, std::ostream* out) { *out << factory.name; }

// Every device's tolerances, in one place.
inline const DeviceFactory kReference{"Reference",
                                      reference::Backend,
                                      D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                      reference::ReadBackBuffer,
                                      reference::ReadDepthBuffer,
                                      false,
                                      {0, 1, 1}};
inline const DeviceFactory kOpenGl{"OpenGL",           gl::Backend,         D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                   gl::ReadBackBuffer, gl::ReadDepthBuffer, true,
                                   {1, 2, 2}};

#define DEVICE_FACTORIES ::testing::Values(::devices::testing::kReference, ::devices::testing::kOpenGl)
#define FACTORY_NAME [](const auto& info) { return std::string(info.param.name); }

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
        if (GetParam().needsOpenGl) SKIP_WITHOUT_OPENGL();
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

    // A second device of the same kind, on its own window; the caller releases it.
    IDirect3DDevice9* OtherDevice() {
        HWND window = CreateWindowExA(0, "device test", "other", 0, 0, 0, 64, 64, nullptr, nullptr, nullptr, nullptr);
        D3DPRESENT_PARAMETERS p = Parameters(64, 64);
        p.hDeviceWindow = window;
        IDirect3DDevice9* other = nullptr;
        EXPECT_EQ(D3D_OK, GetParam().backend().create(nullptr, window, GetParam().vertexProcessing, p, &other));
        return other;
    }

    const Tolerances& Tolerance() const { return GetParam().tolerance; }

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

#define EXPECT_COLOUR_NEAR(expected, actual, tolerance)                 \
    EXPECT_PRED3(::devices::testing::Near, expected, actual, tolerance) \
        << "expected " << ::devices::testing::Hex(expected) << ", got " << ::devices::testing::Hex(actual)
#define EXPECT_ARGB_NEAR(expected, actual, tolerance)                            \
    EXPECT_PRED3(::devices::testing::NearWithAlpha, expected, actual, tolerance) \
        << "expected " << ::devices::testing::Hex(expected) << ", got " << ::devices::testing::Hex(actual)

}  // namespace devices::testing
