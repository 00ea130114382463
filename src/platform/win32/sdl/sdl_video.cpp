#include "platform/win32/sdl/sdl_video.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/win32/sdl/sdl_cursor.h"

namespace win32::sdl {

bool EnsureVideo() {
    if (VideoRunning()) return true;
    // Frames go out as fast as they are drawn; the loop must never wait for the retrace.
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL video cannot start: %s\n", SDL_GetError());
        return false;
    }
    ApplyCursorVisibility();  // ShowCursor may have been called before there was a screen
    return true;
}

bool VideoRunning() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

bool IsWayland() {
    const char* driver = VideoRunning() ? SDL_GetCurrentVideoDriver() : nullptr;
    return driver != nullptr && std::strcmp(driver, "wayland") == 0;
}

}  // namespace win32::sdl
