// Window creation, the message loop and presentation on a real desktop.

#include <SDL.h>

#include "platform/win32/common/window_manager.h"
#include "platform/win32/sdl/sdl_backend.h"
#include "platform/win32/sdl/sdl_events.h"
#include "platform/win32/sdl/sdl_video.h"
#include "platform/win32/sdl/sdl_window.h"
#include "platform/win32/window_surface.h"
#include "platform/win32/windows_api.h"

using win32::detail::TheWindowManager;
using win32::sdl::SdlWindow;

namespace {

SdlWindow* SdlWindowBehind(HWND window) { return static_cast<SdlWindow*>(TheWindowManager().Native(window)); }

}  // namespace

HWND CreateWindowExA(DWORD /*exStyle*/, LPCSTR className, LPCSTR windowName, DWORD /*style*/, int x, int y, int width,
                     int height, HWND /*parent*/, HMENU /*menu*/, HINSTANCE /*instance*/, LPVOID /*param*/) {
    return TheWindowManager().Create(className, windowName, [&]() -> std::unique_ptr<win32::detail::NativeWindow> {
        if (!win32::sdl::EnsureVideo()) return nullptr;
        return SdlWindow::Create(windowName, x, y, width, height);
    });
}

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeMode) {
    if (win32::sdl::VideoRunning()) win32::sdl::PumpEvents();
    if (!TheWindowManager().Peek(message, window, filterMin, filterMax, removeMode)) return FALSE;
    message->time = GetTickCount();
    return TRUE;
}

namespace win32 {

bool PresentPixels(HWND window, const std::uint32_t* bgra, int width, int height, int pitch) {
    SdlWindow* native = SdlWindowBehind(window);
    return native != nullptr && bgra != nullptr && native->Present(bgra, width, height, pitch);
}

bool WantsFramePixels(HWND) { return true; }  // a window on a screen shows them

namespace sdl {

SDL_Window* SdlWindowOf(HWND window) {
    SdlWindow* native = SdlWindowBehind(window);
    return native != nullptr ? native->Handle() : nullptr;
}

}  // namespace sdl
}  // namespace win32
