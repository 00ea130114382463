#include "platform/win32/common/key_state.h"

namespace win32::detail {
namespace {

bool IsKeyCode(int virtualKey) { return virtualKey > 0 && virtualKey < 256; }

}  // namespace

void KeyState::Apply(const MSG& message) {
    if (message.message == WM_KEYDOWN) Set(static_cast<int>(message.wParam), true);
    if (message.message == WM_KEYUP) Set(static_cast<int>(message.wParam), false);
}

void KeyState::Set(int virtualKey, bool down) {
    if (!IsKeyCode(virtualKey)) return;
    BYTE& key = keys_[static_cast<std::size_t>(virtualKey)];
    if (down && (key & kDown) == 0) key ^= kToggled;  // auto-repeat does not toggle
    key = static_cast<BYTE>(down ? (key | kDown) : (key & ~kDown));
}

SHORT KeyState::Get(int virtualKey) const {
    if (!IsKeyCode(virtualKey)) return 0;
    const BYTE key = keys_[static_cast<std::size_t>(virtualKey)];
    SHORT result = (key & kDown) != 0 ? static_cast<SHORT>(0x8000) : SHORT{0};
    if ((key & kToggled) != 0) result = static_cast<SHORT>(result | 1);
    return result;
}

}  // namespace win32::detail
