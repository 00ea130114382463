#include "platform/win32/sdl/sdl_window.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "platform/win32/windows_api.h"

namespace win32::sdl {
namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;

int OrDefault(int value, int fallback) { return value == CW_USEDEFAULT ? fallback : value; }

}  // namespace

std::unique_ptr<SdlWindow> SdlWindow::Create(const char* title, int x, int y, int outerWidth, int outerHeight) {
    const bool placed = x != CW_USEDEFAULT && y != CW_USEDEFAULT;
    const int width = std::max(OrDefault(outerWidth, kDefaultWidth), 1);
    const int height = std::max(OrDefault(outerHeight, kDefaultHeight), 1);
    const RECT outer{placed ? x : 0, placed ? y : 0, (placed ? x : 0) + width, (placed ? y : 0) + height};

    // Hidden until ShowWindow, as a Windows window is; OpenGL-capable for the hardware device.
    const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN;
    SDL_Window* window = SDL_CreateWindow(title != nullptr ? title : "", placed ? x : SDL_WINDOWPOS_UNDEFINED,
                                          placed ? y : SDL_WINDOWPOS_UNDEFINED, width, height, flags);
    if (window == nullptr) {
        std::fprintf(stderr, "SDL cannot create the window: %s\n", SDL_GetError());
        return nullptr;
    }
    std::unique_ptr<SdlWindow> created(new SdlWindow(window, outer, placed));
    created->FitToOuterRect();
    return created;
}

SdlWindow::SdlWindow(SDL_Window* window, const RECT& outer, bool placed)
    : window_(window), requestedOuter_(outer), placed_(placed) {}

SdlWindow::~SdlWindow() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
}

void SdlWindow::SetTitle(const std::string& title) { SDL_SetWindowTitle(window_, title.c_str()); }

void SdlWindow::SetVisible(bool visible) {
    if (!visible) {
        SDL_HideWindow(window_);
        return;
    }
    SDL_ShowWindow(window_);
    if (!shownOnce_) {
        shownOnce_ = true;
        FitToOuterRect();  // the frame is known now that the window manager has it
    }
}

SdlWindow::Frame SdlWindow::QueryFrame() const {
    Frame frame;
    if (SDL_GetWindowBordersSize(window_, &frame.top, &frame.left, &frame.bottom, &frame.right) != 0) return Frame{};
    return frame;
}

// Makes client + frame = the requested outer rectangle. After the first show the user owns
// the geometry, so this is never done again.
void SdlWindow::FitToOuterRect() {
    const Frame frame = QueryFrame();
    if (frame == frame_) return;
    frame_ = frame;
    const int outerWidth = requestedOuter_.right - requestedOuter_.left;
    const int outerHeight = requestedOuter_.bottom - requestedOuter_.top;
    SDL_SetWindowSize(window_, std::max(outerWidth - frame.left - frame.right, 1),
                      std::max(outerHeight - frame.top - frame.bottom, 1));
    if (placed_) SDL_SetWindowPosition(window_, requestedOuter_.left + frame.left, requestedOuter_.top + frame.top);
}

RECT SdlWindow::OuterRect() const {
    int x = 0, y = 0, width = 0, height = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    SDL_GetWindowSize(window_, &width, &height);
    const Frame frame = QueryFrame();
    return RECT{x - frame.left, y - frame.top, x + width + frame.right, y + height + frame.bottom};
}

win32::detail::ClientSize SdlWindow::Client() const {
    win32::detail::ClientSize size;
    SDL_GetWindowSize(window_, &size.width, &size.height);
    return size;
}

bool SdlWindow::EnsureTexture(int width, int height) {
    if (renderer_ == nullptr && !rendererFailed_) {
        renderer_ = SDL_CreateRenderer(window_, -1, 0);
        if (renderer_ == nullptr) {
            rendererFailed_ = true;  // said once; the frames that follow fail quietly
            std::fprintf(stderr, "SDL cannot present frames: %s\n", SDL_GetError());
        }
    }
    if (renderer_ == nullptr) return false;
    if (texture_ != nullptr && textureWidth_ == width && textureHeight_ == height) return true;
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    // ARGB8888 is a 32-bit word A-R-G-B, that is B, G, R, A bytes in memory on little-endian.
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    textureWidth_ = texture_ != nullptr ? width : 0;
    textureHeight_ = texture_ != nullptr ? height : 0;
    if (texture_ == nullptr) std::fprintf(stderr, "SDL cannot make the frame texture: %s\n", SDL_GetError());
    return texture_ != nullptr;
}

bool SdlWindow::Present(const std::uint32_t* bgra, int width, int height, int pitch) {
    if (bgra == nullptr || width <= 0 || height <= 0 || pitch < width || pitch > INT_MAX / 4) return false;
    if (!EnsureTexture(width, height)) return false;
    if (SDL_UpdateTexture(texture_, nullptr, bgra, pitch * 4) != 0) return false;
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);  // stretched over the whole client area
    SDL_RenderPresent(renderer_);
    return true;
}

}  // namespace win32::sdl
