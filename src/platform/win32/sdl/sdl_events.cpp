#include "platform/win32/sdl/sdl_events.h"

#include <SDL.h>

#include "platform/win32/common/window_manager.h"
#include "platform/win32/sdl/sdl_cursor.h"
#include "platform/win32/sdl/sdl_keys.h"
#include "platform/win32/sdl/sdl_window.h"

namespace win32::sdl {
namespace {

using win32::detail::TheWindowManager;

HWND WindowFromId(Uint32 id) {
    for (HWND window : TheWindowManager().AllWindows()) {
        auto* native = static_cast<SdlWindow*>(TheWindowManager().Native(window));
        if (native->Id() == id) return window;
    }
    return nullptr;
}

LPARAM SizeParameter(int width, int height) { return MAKELPARAM(static_cast<WORD>(width), static_cast<WORD>(height)); }

void TranslateWindowEvent(const SDL_WindowEvent& event) {
    HWND window = WindowFromId(event.windowID);
    if (window == nullptr) return;
    auto& manager = TheWindowManager();
    switch (event.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            manager.Post(window, WM_SIZE, SIZE_RESTORED, SizeParameter(event.data1, event.data2));
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            manager.Post(window, WM_SIZE, SIZE_MINIMIZED, 0);  // Windows reports a 0 x 0 client
            break;
        case SDL_WINDOWEVENT_RESTORED: {
            const auto size = manager.Native(window)->Client();
            manager.Post(window, WM_SIZE, SIZE_RESTORED, SizeParameter(size.width, size.height));
            break;
        }
        case SDL_WINDOWEVENT_CLOSE:
            manager.Post(window, WM_CLOSE, 0, 0);
            break;
        default:
            break;
    }
}

// lParam as Windows builds it: repeat count 1, scan code, previous state, transition.
LPARAM KeyParameter(const SDL_KeyboardEvent& event) {
    LPARAM parameter = 1 | (static_cast<LPARAM>(event.keysym.scancode & 0xFF) << 16);
    if (event.type == SDL_KEYUP) parameter |= (LPARAM{1} << 30) | (LPARAM{1} << 31);
    if (event.repeat != 0) parameter |= LPARAM{1} << 30;
    return parameter;
}

void TranslateKeyEvent(const SDL_KeyboardEvent& event) {
    const int virtualKey = VirtualKeyFromSdl(event.keysym.sym);
    if (virtualKey == 0) return;
    HWND window = WindowFromId(event.windowID);
    const UINT message = event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP;
    TheWindowManager().Post(window, message, static_cast<WPARAM>(virtualKey), KeyParameter(event));
}

void Translate(const SDL_Event& event) {
    switch (event.type) {
        case SDL_WINDOWEVENT:
            TranslateWindowEvent(event.window);
            break;
        case SDL_QUIT:  // the session is ending (or Ctrl+C): close every window, as Windows does
            for (HWND window : TheWindowManager().AllWindows()) TheWindowManager().Post(window, WM_CLOSE, 0, 0);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            TranslateKeyEvent(event.key);
            break;
        case SDL_MOUSEMOTION:
            TrackMotion(event);
            break;
        default:
            break;
    }
}

}  // namespace

void PumpEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) Translate(event);
}

}  // namespace win32::sdl
