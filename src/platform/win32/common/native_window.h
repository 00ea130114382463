#pragma once
// What the shared window logic needs from a backend's own window: the SDL backend wraps an
// SDL_Window, the headless one keeps a rectangle. Everything else about windows (classes,
// messages, titles, destruction) is the same for both and lives in WindowManager.

#include <string>

#include "platform/win32/win_types.h"

namespace win32::detail {

struct ClientSize {
    int width = 0;
    int height = 0;
};

class NativeWindow {
public:
    virtual ~NativeWindow() = default;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetVisible(bool visible) = 0;
    // The outer rectangle, frame included, in screen pixels.
    virtual RECT OuterRect() const = 0;
    virtual ClientSize Client() const = 0;
};

}  // namespace win32::detail
