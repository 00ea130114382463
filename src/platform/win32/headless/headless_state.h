#pragma once
// The headless backend's world: everything that a screen, a keyboard, a mouse and a clock
// would otherwise provide.

#include "platform/win32/headless/headless.h"

namespace headless::detail {

struct State {
    DWORD ticks = 0;
    POINT cursor{0, 0};
    int cursorCounter = 0;
    unsigned peekCount = 0;
    std::function<void(unsigned)> peekHook;
    std::vector<MessageBoxRecord> messageBoxes;
    Frame lastFrame;
    bool keepFramePixels = true;
    unsigned titleSetCount = 0;
    HWND mainWindow = nullptr;
};

State& TheState();

}  // namespace headless::detail
