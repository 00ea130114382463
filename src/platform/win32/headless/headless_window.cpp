#include "platform/win32/headless/headless_window.h"

#include <algorithm>

#include "platform/win32/headless/headless_state.h"

namespace headless::detail {

void HeadlessWindow::SetTitle(const std::string&) { ++TheState().titleSetCount; }

win32::detail::ClientSize HeadlessWindow::Client() const {
    const int width = outer_.right - outer_.left - 2 * kFrameSide;
    const int height = outer_.bottom - outer_.top - kFrameCaption - kFrameSide;
    return {std::max(width, 0), std::max(height, 0)};
}

void HeadlessWindow::ResizeClient(int width, int height) {
    outer_.right = outer_.left + std::max(width, 0) + 2 * kFrameSide;
    outer_.bottom = outer_.top + std::max(height, 0) + kFrameCaption + kFrameSide;
}

}  // namespace headless::detail
