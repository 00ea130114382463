#include "platform/win32/common/message_queue.h"

#include <algorithm>

namespace win32::detail {
namespace {

bool Matches(const MSG& message, HWND window, UINT filterMin, UINT filterMax) {
    if (message.message == WM_QUIT) return true;
    if (window != nullptr && message.hwnd != window) return false;
    if (filterMin == 0 && filterMax == 0) return true;
    return message.message >= filterMin && message.message <= filterMax;
}

}  // namespace

void MessageQueue::Post(const MSG& message) { messages_.push_back(message); }

void MessageQueue::PostQuit(int exitCode) {
    for (MSG& waiting : messages_) {
        if (waiting.message == WM_QUIT) {
            waiting.wParam = static_cast<WPARAM>(exitCode);
            return;
        }
    }
    MSG quit{};
    quit.message = WM_QUIT;
    quit.wParam = static_cast<WPARAM>(exitCode);
    messages_.push_back(quit);
}

bool MessageQueue::Peek(MSG* message, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    auto found = std::find_if(messages_.begin(), messages_.end(),
                              [&](const MSG& m) { return Matches(m, window, filterMin, filterMax); });
    if (found == messages_.end()) return false;
    *message = *found;
    if (remove) messages_.erase(found);
    return true;
}

void MessageQueue::DropMessagesFor(HWND window) {
    std::erase_if(messages_, [window](const MSG& m) { return m.hwnd == window; });
}

}  // namespace win32::detail
