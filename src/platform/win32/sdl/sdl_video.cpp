#include "platform/win32/sdl/sdl_video.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win32/diagnostics.h"
#include "platform/win32/sdl/sdl_backend.h"
#include "platform/win32/sdl/sdl_cursor.h"

namespace win32::sdl {
namespace {

// SDL's drivers that draw where nobody sees it. SDL falls back to them when no display answers, and
// a viewer on one would spin at full speed in an invisible window.
bool ShowsNothing(const char* driver) {
    return driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

bool DriverAskedFor() {
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    return asked != nullptr && asked[0] != '\0';
}

}  // namespace

bool EnsureVideo() {
    if (VideoRunning()) return true;
    // Frames go out as fast as they are drawn; the loop must never wait for the retrace.
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        Diagnose("display", std::string("SDL video cannot start: ") + SDL_GetError());
        return false;
    }
    ApplyCursorVisibility();  // ShowCursor may have been called before there was a screen
    return true;
}

bool OpenDisplay() {
    if (!EnsureVideo()) return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!ShowsNothing(driver) || DriverAskedFor()) return true;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const std::string where = std::string("DISPLAY is ") + (display != nullptr ? "'" + std::string(display) + "'" : "unset") +
                              ", WAYLAND_DISPLAY is " + (wayland != nullptr ? "'" + std::string(wayland) + "'" : "unset");
    Diagnose("display", std::string("none usable (") + where + "; SDL could only offer its '" + driver +
                            "' driver, which shows nothing); start the viewer on a desktop, or set "
                            "SDL_VIDEODRIVER=offscreen to run it without one");
    return false;
}

bool VideoRunning() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

bool IsWayland() {
    const char* driver = VideoRunning() ? SDL_GetCurrentVideoDriver() : nullptr;
    return driver != nullptr && std::strcmp(driver, "wayland") == 0;
}

}  // namespace win32::sdl
