#pragma once
// Drives the viewer's shell headless: a window of the headless backend, the reference device,
// a clock the test sets. Each test runs in its own process, so the shell's statics start fresh.

#include <gtest/gtest.h>

#include "app/camera.h"
#include "app/fenetre.h"
#include "app/rendu.h"
#include "platform/d3d9/device_backend.h"
#include "platform/win32/headless/headless.h"

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        d3d9::SetDevicePolicy(d3d9::DevicePolicy::ReferenceOnly);
    }
    void TearDown() override { Nettoyer(); }

    // A window and a device as WinMain makes them, without the loop.
    void StartDevice() {
        WNDCLASSEXA classe{};
        classe.cbSize = sizeof classe;
        classe.lpfnWndProc = DefWindowProcA;
        classe.lpszClassName = "test";
        RegisterClassExA(&classe);
        g_fenetre =
            CreateWindowExA(0, "test", "", WS_OVERLAPPEDWINDOW, 100, 100, 800, 600, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(g_fenetre);
        ASSERT_EQ(InitDirect3D(g_fenetre), S_OK);
        InitMatrices();
    }

    static D3DMATRIX Transform(D3DTRANSFORMSTATETYPE which) {
        D3DMATRIX m{};
        g_device->GetTransform(which, &m);
        return m;
    }
};
