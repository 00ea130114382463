// Clock, keyboard and cursor for programs without a screen: they move only when the caller
// moves them, so that tests see exactly the time and input they script.

#include "platform/win32/common/window_manager.h"
#include "platform/win32/headless/headless_state.h"
#include "platform/win32/windows_api.h"

using headless::detail::TheState;

DWORD GetTickCount() { return TheState().ticks; }

int ShowCursor(BOOL show) {
    int& counter = TheState().cursorCounter;
    counter += show ? 1 : -1;
    return counter;
}

BOOL GetCursorPos(POINT* point) {
    if (point == nullptr) return FALSE;
    *point = TheState().cursor;
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    TheState().cursor = POINT{x, y};
    return TRUE;
}

namespace headless {

void Reset() {
    win32::detail::TheWindowManager().Reset();
    detail::TheState() = detail::State{};
}

void SetTickCount(DWORD milliseconds) { TheState().ticks = milliseconds; }
void AdvanceTicks(DWORD milliseconds) { TheState().ticks += milliseconds; }

void SetKeyDown(int virtualKey, bool down) { win32::detail::TheWindowManager().Keys().Set(virtualKey, down); }
void MoveCursorTo(int x, int y) { TheState().cursor = POINT{x, y}; }
bool CursorHidden() { return TheState().cursorCounter < 0; }

void SetPeekHook(std::function<void(unsigned)> hook) { TheState().peekHook = std::move(hook); }

const std::vector<MessageBoxRecord>& MessageBoxes() { return TheState().messageBoxes; }
const Frame& LastFrame() { return TheState().lastFrame; }
void KeepFramePixels(bool keep) { TheState().keepFramePixels = keep; }
unsigned TitleSetCount() { return TheState().titleSetCount; }

}  // namespace headless
