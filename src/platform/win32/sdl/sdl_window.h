#pragma once
// A real desktop window. The scene gives the OUTER size (frame included), as Windows does; SDL
// sizes the client area, so the frame that the window manager reports is taken off. The frame
// is often only known once the window is mapped, so the geometry is fitted again on first show.

#include <SDL.h>

#include <cstdint>
#include <memory>

#include "platform/win32/common/native_window.h"

namespace win32::sdl {

class SdlWindow final : public win32::detail::NativeWindow {
public:
    // Null (with the reason on stderr) when SDL cannot open the window. x or y equal to
    // CW_USEDEFAULT leave the placement to the window manager.
    static std::unique_ptr<SdlWindow> Create(const char* title, int x, int y, int outerWidth, int outerHeight);
    ~SdlWindow() override;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    void SetTitle(const std::string& title) override;
    void SetVisible(bool visible) override;
    RECT OuterRect() const override;
    win32::detail::ClientSize Client() const override;

    SDL_Window* Handle() const { return window_; }
    std::uint32_t Id() const { return SDL_GetWindowID(window_); }
    // Streams a BGRA frame to the client area, stretched; false when no renderer can be made.
    bool Present(const std::uint32_t* bgra, int width, int height, int pitch);

private:
    struct Frame {
        int top = 0, left = 0, bottom = 0, right = 0;
        bool operator==(const Frame&) const = default;
    };

    SdlWindow(SDL_Window* window, const RECT& outer, bool placed);
    Frame QueryFrame() const;
    void FitToOuterRect();
    bool EnsureTexture(int width, int height);

    SDL_Window* window_;
    RECT requestedOuter_;
    bool placed_;
    bool shownOnce_ = false;
    Frame frame_;
    SDL_Renderer* renderer_ = nullptr;
    bool rendererFailed_ = false;
    SDL_Texture* texture_ = nullptr;
    int textureWidth_ = 0;
    int textureHeight_ = 0;
};

}  // namespace win32::sdl
