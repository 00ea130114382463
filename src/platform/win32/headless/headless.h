#pragma once
// Control of the headless backend, for tests and tools: a clock that only moves when told,
// keys and a cursor set by the caller, a hook into the message loop, and records of what the
// program showed (message boxes, frames, titles). Nothing here exists in the SDL backend.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/windows_api.h"

namespace headless {

// Back to a fresh process: no windows (destroyed without WM_DESTROY), no classes, an empty
// queue, tick 0, no keys down, cursor at (0, 0) and shown, no peek hook, records cleared.
// Not from inside the peek hook, which it destroys.
void Reset();

// The clock behind GetTickCount; it wraps as an unsigned 32-bit count.
void SetTickCount(DWORD milliseconds);
void AdvanceTicks(DWORD milliseconds);

// Visible to GetKeyState at once, without any message.
void SetKeyDown(int virtualKey, bool down);
// Where GetCursorPos finds the cursor next (SetCursorPos moves it too).
void MoveCursorTo(int x, int y);
bool CursorHidden();

// Called at the start of every PeekMessageA with the number of that call since Reset(),
// counting from 1; the hook may post messages, move the clock or press keys.
void SetPeekHook(std::function<void(unsigned peekCount)> hook);

// The user resizing the window: the client area becomes width x height (the frame stays) and
// WM_SIZE is posted.
void ResizeClient(HWND window, int width, int height);

struct MessageBoxRecord {
    std::string text;
    std::string caption;
    UINT type = 0;
};
const std::vector<MessageBoxRecord>& MessageBoxes();

struct Frame {
    HWND window = nullptr;  // the window it was shown in
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> bgra;  // width x height, tightly packed
    unsigned presentCount = 0;
};
const Frame& LastFrame();
// Whether presented frames keep their pixels in LastFrame() (on after Reset()). A run that only
// counts frames, such as the bench, turns it off: the frame record then has its size and count but
// no pixels, and the OpenGL device reads nothing back to fill it.
void KeepFramePixels(bool keep);

std::string WindowTitle(HWND window);
unsigned TitleSetCount();
// The window created last (null before any, or after Reset()).
HWND MainWindow();

// The frame that headless windows put around their client area, so that the client is
// smaller than the outer rectangle as on a desktop.
constexpr int kFrameSide = 8;
constexpr int kFrameCaption = 31;

}  // namespace headless
