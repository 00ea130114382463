#include "platform/win32/sdl/sdl_cursor.h"

#include <SDL.h>

#include <array>

#include "platform/win32/sdl/sdl_video.h"
#include "platform/win32/windows_api.h"

namespace win32::sdl {
namespace {

struct CursorState {
    int displayCounter = 0;  // shown while >= 0, as on Windows
    POINT reference{0, 0};   // the point last given to SetCursorPos
    POINT motion{0, 0};      // relative motion since then (Wayland)
    bool relativeMode = false;
};

CursorState& Cursor() {
    static CursorState cursor;
    return cursor;
}

// Takes only the motion events out of SDL's queue, so that key events wait for PeekMessageA.
void CollectPendingMotion() {
    SDL_PumpEvents();
    std::array<SDL_Event, 64> events;
    int count = 0;
    while ((count = SDL_PeepEvents(events.data(), static_cast<int>(events.size()), SDL_GETEVENT, SDL_MOUSEMOTION,
                                   SDL_MOUSEMOTION)) > 0) {
        for (int i = 0; i < count; ++i) TrackMotion(events[static_cast<std::size_t>(i)]);
    }
}

}  // namespace

void ApplyCursorVisibility() {
    if (VideoRunning()) SDL_ShowCursor(Cursor().displayCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

void TrackMotion(const SDL_Event& event) {
    CursorState& cursor = Cursor();
    if (event.type != SDL_MOUSEMOTION || !cursor.relativeMode) return;
    cursor.motion.x += event.motion.xrel;
    cursor.motion.y += event.motion.yrel;
}

}  // namespace win32::sdl

using win32::sdl::Cursor;

int ShowCursor(BOOL show) {
    Cursor().displayCounter += show ? 1 : -1;
    win32::sdl::ApplyCursorVisibility();
    return Cursor().displayCounter;
}

BOOL GetCursorPos(POINT* point) {
    if (point == nullptr) return FALSE;
    auto& cursor = Cursor();
    if (cursor.relativeMode) {
        win32::sdl::CollectPendingMotion();
        *point = POINT{cursor.reference.x + cursor.motion.x, cursor.reference.y + cursor.motion.y};
    } else if (win32::sdl::VideoRunning()) {
        int x = 0, y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        *point = POINT{x, y};
    } else {
        *point = cursor.reference;  // no screen: the pointer stays where it was put
    }
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    auto& cursor = Cursor();
    cursor.reference = POINT{x, y};
    cursor.motion = POINT{0, 0};
    if (!win32::sdl::VideoRunning()) return TRUE;
    if (win32::sdl::IsWayland()) {
        if (!cursor.relativeMode) cursor.relativeMode = SDL_SetRelativeMouseMode(SDL_TRUE) == 0;
        return cursor.relativeMode ? TRUE : FALSE;
    }
    return SDL_WarpMouseGlobal(x, y) == 0 ? TRUE : FALSE;
}
