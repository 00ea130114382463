#pragma once
// The keyboard as the window thread has seen it: a key is down from the WM_KEYDOWN that was
// retrieved for it until its WM_KEYUP, which is what GetKeyState reports.

#include <array>

#include "platform/win32/windows_api.h"

namespace win32::detail {

class KeyState {
public:
    // Follows a key message as it leaves the queue; other messages are ignored.
    void Apply(const MSG& message);
    void Set(int virtualKey, bool down);
    // High bit while down; low bit toggles with each press, as on Windows.
    SHORT Get(int virtualKey) const;
    void Clear() { keys_.fill(0); }

private:
    static constexpr BYTE kDown = 0x80;
    static constexpr BYTE kToggled = 0x01;
    std::array<BYTE, 256> keys_{};
};

}  // namespace win32::detail
