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

// "NAME is 'value'" or "NAME is unset". Built by appending: GCC 12 at -O3 takes the insertion that
// `"'" + std::string(value)` makes for a possible overlap (a false -Wrestrict).
void AppendVariable(std::string& text, const char* name) {
    const char* value = std::getenv(name);
    text += name;
    text += " is ";
    if (value == nullptr) {
        text += "unset";
        return;
    }
    text += '\'';
    text += value;
    text += '\'';
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
    std::string why = "none usable (";
    AppendVariable(why, "DISPLAY");
    why += ", ";
    AppendVariable(why, "WAYLAND_DISPLAY");
    why += "; SDL could only offer its '";
    why += driver;
    why +=
        "' driver, which shows nothing); start the viewer on a desktop, or set SDL_VIDEODRIVER=offscreen to run "
        "it without one";
    Diagnose("display", why);
    return false;
}

bool VideoRunning() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

bool IsWayland() {
    const char* driver = VideoRunning() ? SDL_GetCurrentVideoDriver() : nullptr;
    return driver != nullptr && std::strcmp(driver, "wayland") == 0;
}

}  // namespace win32::sdl
