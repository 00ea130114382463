// The window and message functions that behave the same on every backend. The backends add
// window creation, the event pump, input, message boxes, the clock and presentation.

#include "platform/win32/common/window_manager.h"
#include "platform/win32/windows_api.h"

using win32::detail::TheWindowManager;

namespace {

// Distinct addresses that no window can have, for the handles the scene only passes along.
char moduleInstance;
char desktopWindow;

BOOL AsBool(bool value) { return value ? TRUE : FALSE; }

}  // namespace

HMODULE GetModuleHandleA(LPCSTR /*moduleName*/) { return reinterpret_cast<HMODULE>(&moduleInstance); }

HWND GetDesktopWindow() { return reinterpret_cast<HWND>(&desktopWindow); }

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) { return TheWindowManager().RegisterClass(windowClass); }

BOOL UnregisterClassA(LPCSTR className, HINSTANCE /*instance*/) {
    return AsBool(TheWindowManager().UnregisterClass(className));
}

BOOL DestroyWindow(HWND window) { return AsBool(TheWindowManager().Destroy(window)); }

BOOL ShowWindow(HWND window, int command) { return AsBool(TheWindowManager().Show(window, command)); }

BOOL UpdateWindow(HWND window) { return AsBool(TheWindowManager().IsWindow(window)); }

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return TheWindowManager().DefaultProcedure(window, message, wParam, lParam);
}

BOOL SetWindowTextA(HWND window, LPCSTR text) { return AsBool(TheWindowManager().SetTitle(window, text)); }

int GetWindowTextA(HWND window, LPSTR buffer, int capacity) {
    return TheWindowManager().GetTitle(window, buffer, capacity);
}

BOOL GetWindowRect(HWND window, RECT* rect) { return AsBool(TheWindowManager().GetWindowRect(window, rect)); }

BOOL GetClientRect(HWND window, RECT* rect) { return AsBool(TheWindowManager().GetClientRect(window, rect)); }

// Character messages are never used by the scene, so there is nothing to translate.
BOOL TranslateMessage(const MSG* /*message*/) { return FALSE; }

LRESULT DispatchMessageA(const MSG* message) { return TheWindowManager().Dispatch(message); }

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return AsBool(TheWindowManager().Post(window, message, wParam, lParam));
}

void PostQuitMessage(int exitCode) { TheWindowManager().PostQuit(exitCode); }

SHORT GetKeyState(int virtualKey) { return TheWindowManager().Keys().Get(virtualKey); }
