#pragma once
// A reference device on a fresh headless window, and small helpers to draw with it.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "../common/headless_device.h"
#include "platform/reference/readback.h"
#include "platform/reference/reference_backend.h"

namespace reference::testing {

using devicetest::FreshWindow;
using devicetest::Parameters;
using devicetest::References;

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override { CreateDevice(800, 600); }
    void TearDown() override { DestroyDevice(); }

    void CreateDevice(UINT width, UINT height, D3DFORMAT format = D3DFMT_X8R8G8B8) {
        DestroyDevice();
        window_ = FreshWindow("reference test");
        D3DPRESENT_PARAMETERS p = Parameters(width, height);
        p.BackBufferFormat = format;
        p.hDeviceWindow = window_;
        ASSERT_EQ(D3D_OK, Backend().create(nullptr, window_, D3DCREATE_SOFTWARE_VERTEXPROCESSING, p, &device_));
        width_ = static_cast<int>(width);
        height_ = static_cast<int>(height);
    }

    void DestroyDevice() {
        if (device_ != nullptr) {
            EXPECT_EQ(0u, device_->Release());
        }
        device_ = nullptr;
    }

    std::vector<std::uint32_t> Frame() {
        std::vector<std::uint32_t> pixels;
        EXPECT_TRUE(ReadBackBuffer(device_, pixels));
        return pixels;
    }

    std::uint32_t Pixel(int x, int y) { return Frame()[static_cast<std::size_t>(y) * width_ + x]; }

    IDirect3DDevice9* device_ = nullptr;
    HWND window_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace reference::testing
