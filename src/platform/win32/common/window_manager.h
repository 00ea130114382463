#pragma once
// The windows, their classes and the message queue of the one window thread, shared by both
// backends. An HWND is the address of a Window below; only live ones are ever dereferenced, so
// a handle kept past DestroyWindow is refused rather than followed.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/win32/common/key_state.h"
#include "platform/win32/common/message_queue.h"
#include "platform/win32/common/native_window.h"
#include "platform/win32/windows_api.h"

namespace win32::detail {

struct WindowClass {
    std::string name;
    WNDPROC procedure = nullptr;
    ATOM atom = 0;
    int windowCount = 0;
};

struct Window {
    WindowClass* windowClass = nullptr;
    std::string title;
    std::unique_ptr<NativeWindow> native;
    bool visible = false;
    bool destroying = false;
};

class WindowManager {
public:
    using NativeFactory = std::function<std::unique_ptr<NativeWindow>()>;

    ATOM RegisterClass(const WNDCLASSEXA* windowClass);
    bool UnregisterClass(LPCSTR className);

    // Makes the window when its class is known and the backend can make its native window, then
    // sends WM_SIZE with the client size before returning, as Windows does during creation.
    HWND Create(LPCSTR className, LPCSTR title, const NativeFactory& makeNative);
    // Sends WM_DESTROY, then drops the window, its queued messages and its native window.
    bool Destroy(HWND window);
    // Returns whether the window was visible before; sends WM_SIZE with the client size.
    bool Show(HWND window, int command);

    LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(const MSG* message);
    LRESULT DefaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void PostQuit(int exitCode) { queue_.PostQuit(exitCode); }
    // Retrieves from the queue; a removed key message updates the key state.
    bool Peek(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeMode);

    bool SetTitle(HWND window, LPCSTR text);
    int GetTitle(HWND window, LPSTR buffer, int capacity) const;
    bool GetWindowRect(HWND window, RECT* rect) const;
    bool GetClientRect(HWND window, RECT* rect) const;

    bool IsWindow(HWND window) const { return Find(window) != nullptr; }
    // The backend's window behind a live handle, or null.
    NativeWindow* Native(HWND window) const;
    // Every live window, for events that concern them all (the session ending).
    std::vector<HWND> AllWindows() const;
    const std::string* Title(HWND window) const;

    KeyState& Keys() { return keys_; }
    // Forgets every window, class and message without sending anything.
    void Reset();

private:
    Window* Find(HWND window) const;
    WindowClass* FindClass(LPCSTR className);

    std::map<std::string, WindowClass> classes_;  // by lower-case name: class names ignore case
    std::unordered_map<HWND, std::unique_ptr<Window>> windows_;
    MessageQueue queue_;
    KeyState keys_;
    ATOM nextAtom_ = 0xC000;
};

// The one window thread's manager.
WindowManager& TheWindowManager();

}  // namespace win32::detail
