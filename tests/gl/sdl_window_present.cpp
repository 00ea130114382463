// The hardware device on a real SDL window (under Xvfb, whose GL is software): the frame is
// blitted to the window's own GL context, stretched over the client area and the right way up.
// The window's pixels are read back from the X server.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gl/gl_backend.h"
#include "platform/gl/gl_info.h"
#include "platform/win32/sdl/sdl_backend.h"
#include "platform/win32/windows_api.h"

// X11's headers define macros (None, Bool, Status) that clash with others: they come last.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

unsigned long WindowPixel(SDL_Window* window, int x, int y) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return 0xDEADBEEF;
    XSync(info.info.x11.display, False);
    XImage* image = XGetImage(info.info.x11.display, info.info.x11.window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) return 0xDEADBEEF;
    const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel;
}

TEST(SdlWindowPresent, TheFrameIsStretchedOverTheClientAreaTheRightWayUp) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display (run under xvfb-run)";
    setenv("QUENOLDE_GL_ALLOW_SOFTWARE", "1", 1);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "present test";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, "present test", "present", 0, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    ShowWindow(window, SW_SHOW);
    ASSERT_NE(nullptr, gl::ProbedGl()) << "the SDL window gives no OpenGL 3.3 core context";

    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = 64;
    p.BackBufferHeight = 64;
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.hDeviceWindow = window;
    p.Windowed = TRUE;
    p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(D3D_OK, gl::Backend().create(nullptr, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, p, &device));
    const D3DRECT quarters[4] = {{0, 0, 32, 32}, {32, 0, 64, 32}, {0, 32, 32, 64}, {32, 32, 64, 64}};
    const D3DCOLOR colours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    for (int i = 0; i < 4; ++i) device->Clear(1, &quarters[i], D3DCLEAR_TARGET, colours[i], 1.0f, 0);
    ASSERT_EQ(D3D_OK, device->Present(nullptr, nullptr, nullptr, nullptr));

    RECT client{};
    ASSERT_TRUE(GetClientRect(window, &client));
    const int width = client.right, height = client.bottom;
    SDL_Window* native = win32::sdl::SdlWindowOf(window);
    EXPECT_EQ(0xFF0000u, WindowPixel(native, width / 4, height / 4)) << "top left";
    EXPECT_EQ(0x00FF00u, WindowPixel(native, 3 * width / 4, height / 4)) << "top right";
    EXPECT_EQ(0x0000FFu, WindowPixel(native, width / 4, 3 * height / 4)) << "bottom left";
    EXPECT_EQ(0xFFFFFFu, WindowPixel(native, 3 * width / 4, 3 * height / 4)) << "bottom right";
    EXPECT_EQ(0u, device->Release());
    DestroyWindow(window);
}

}  // namespace
