// Window creation, the message loop and presentation for programs without a screen.

#include <cstdio>

#include "platform/win32/common/window_manager.h"
#include "platform/win32/headless/headless_state.h"
#include "platform/win32/headless/headless_window.h"
#include "platform/win32/window_surface.h"
#include "platform/win32/windows_api.h"

using headless::detail::HeadlessWindow;
using headless::detail::TheState;
using win32::detail::TheWindowManager;

namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;

int OrDefault(int value, int fallback) { return value == CW_USEDEFAULT ? fallback : value; }

HeadlessWindow* HeadlessWindowOf(HWND window) {
    return static_cast<HeadlessWindow*>(TheWindowManager().Native(window));
}

}  // namespace

HWND CreateWindowExA(DWORD /*exStyle*/, LPCSTR className, LPCSTR windowName, DWORD /*style*/, int x, int y, int width,
                     int height, HWND /*parent*/, HMENU /*menu*/, HINSTANCE /*instance*/, LPVOID /*param*/) {
    const int left = OrDefault(x, 0);
    const int top = OrDefault(y, 0);
    const RECT outer{left, top, left + OrDefault(width, kDefaultWidth), top + OrDefault(height, kDefaultHeight)};
    HWND window =
        TheWindowManager().Create(className, windowName, [&outer] { return std::make_unique<HeadlessWindow>(outer); });
    if (window != nullptr) TheState().mainWindow = window;
    return window;
}

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeMode) {
    auto& state = TheState();
    ++state.peekCount;
    if (state.peekHook) state.peekHook(state.peekCount);
    if (!TheWindowManager().Peek(message, window, filterMin, filterMax, removeMode)) return FALSE;
    message->time = state.ticks;
    message->pt = state.cursor;
    return TRUE;
}

int MessageBoxA(HWND /*owner*/, LPCSTR text, LPCSTR caption, UINT type) {
    headless::MessageBoxRecord record{text != nullptr ? text : "", caption != nullptr ? caption : "", type};
    std::fprintf(stderr, "%s: %s\n", record.caption.c_str(), record.text.c_str());
    TheState().messageBoxes.push_back(std::move(record));
    return IDOK;
}

namespace win32 {

bool WantsFramePixels(HWND) { return TheState().keepFramePixels; }

bool PresentPixels(HWND window, const std::uint32_t* bgra, int width, int height, int pitch) {
    const bool keep = TheState().keepFramePixels;
    if (!TheWindowManager().IsWindow(window) || (keep && bgra == nullptr) || width <= 0 || height <= 0 || pitch < width)
        return false;
    headless::Frame& frame = TheState().lastFrame;
    frame.window = window;
    frame.width = width;
    frame.height = height;
    ++frame.presentCount;
    if (!keep) {
        frame.bgra.clear();
        return true;
    }
    frame.bgra.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        const std::uint32_t* source = bgra + static_cast<std::size_t>(row) * static_cast<std::size_t>(pitch);
        std::copy(source, source + width, frame.bgra.begin() + static_cast<std::ptrdiff_t>(row) * width);
    }
    return true;
}

}  // namespace win32

namespace headless {

void ResizeClient(HWND window, int width, int height) {
    HeadlessWindow* native = HeadlessWindowOf(window);
    if (native == nullptr) return;
    native->ResizeClient(width, height);
    const auto size = native->Client();
    PostMessageA(window, WM_SIZE, SIZE_RESTORED,
                 MAKELPARAM(static_cast<WORD>(size.width), static_cast<WORD>(size.height)));
}

std::string WindowTitle(HWND window) {
    const std::string* title = TheWindowManager().Title(window);
    return title != nullptr ? *title : std::string();
}

HWND MainWindow() { return TheState().mainWindow; }

}  // namespace headless
