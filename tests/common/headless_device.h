#pragma once
// What every device test starts from: the present parameters of a small windowed back buffer
// with a depth buffer, a fresh headless window to create the device on, and a reference count.

#include "platform/d3d9/d3d9_api.h"
#include "platform/win32/headless/headless.h"
#include "platform/win32/windows_api.h"

namespace devicetest {

inline D3DPRESENT_PARAMETERS Parameters(UINT width, UINT height) {
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = width;
    p.BackBufferHeight = height;
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.BackBufferCount = 1;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D24S8;
    p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return p;
}

// Starts the headless services afresh and opens an 800 x 600 window of class `className`.
inline HWND FreshWindow(const char* className) {
    headless::Reset();
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = className;
    RegisterClassExA(&windowClass);
    return CreateWindowExA(0, className, "test", 0, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
}

// Counts the references of an object by taking one and giving it back.
inline ULONG References(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

}  // namespace devicetest
