#pragma once
// The posted-message queue of the one window thread: first in, first out, with the quit
// request kept at its place in line so that the messages posted before it still come first.

#include <deque>

#include "platform/win32/windows_api.h"

namespace win32::detail {

class MessageQueue {
public:
    void Post(const MSG& message);
    // Queues WM_QUIT; while one is still waiting, only its exit code changes.
    void PostQuit(int exitCode);
    // The first message for `window` (any window when null) in [filterMin, filterMax] (all
    // when both are 0); WM_QUIT passes every filter, as on Windows.
    bool Peek(MSG* message, HWND window, UINT filterMin, UINT filterMax, bool remove);
    // A destroyed window's messages must never reach a later window at the same address.
    void DropMessagesFor(HWND window);
    void Clear() { messages_.clear(); }
    bool Empty() const { return messages_.empty(); }

private:
    std::deque<MSG> messages_;
};

}  // namespace win32::detail
