#pragma once
// A fresh headless backend per test, one registered class whose procedure records every message
// it receives, and a window of that class the way the viewer makes its own.

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/headless/headless.h"
#include "platform/win32/windows_api.h"

namespace headless_test {

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

inline std::vector<Received>& Log() {
    static std::vector<Received> log;
    return log;
}

// Records, then behaves like a typical procedure: what it does not handle goes to
// DefWindowProcA.
inline LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().push_back({window, message, wParam, lParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

constexpr const char* kClassName = "Direct3D Sample";

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        Log().clear();
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = RecordingProcedure;
        windowClass.lpszClassName = kClassName;
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
    }
    void TearDown() override { headless::Reset(); }

    static HWND MakeWindow() {
        return CreateWindowExA(0, kClassName, "Projet", WS_OVERLAPPEDWINDOW, 100, 100, 800, 600, GetDesktopWindow(),
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    // Retrieves and dispatches everything waiting, as the viewer's loop does between idle passes.
    static std::vector<MSG> Drain() {
        std::vector<MSG> retrieved;
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            retrieved.push_back(message);
            DispatchMessageA(&message);
        }
        return retrieved;
    }
};

}  // namespace headless_test
