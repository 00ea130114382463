#pragma once
// A window with no screen: a rectangle, a visibility flag and a title.

#include "platform/win32/common/native_window.h"

namespace headless::detail {

class HeadlessWindow final : public win32::detail::NativeWindow {
public:
    explicit HeadlessWindow(const RECT& outer) : outer_(outer) {}

    void SetTitle(const std::string& title) override;
    void SetVisible(bool visible) override { visible_ = visible; }
    RECT OuterRect() const override { return outer_; }
    win32::detail::ClientSize Client() const override;

    // Keeps the frame and the top-left corner; the outer rectangle grows with the client.
    void ResizeClient(int width, int height);

private:
    RECT outer_;
    bool visible_ = false;
};

}  // namespace headless::detail
