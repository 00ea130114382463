// The clock and message boxes on a desktop.

#include <SDL.h>

#include <cstdio>

#include "platform/win32/sdl/sdl_video.h"
#include "platform/win32/windows_api.h"

namespace {

constexpr UINT kIconMask = 0xF0;

Uint32 MessageBoxFlags(UINT type) {
    switch (type & kIconMask) {
        case MB_ICONWARNING:
            return SDL_MESSAGEBOX_WARNING;
        case MB_ICONERROR:
            return SDL_MESSAGEBOX_ERROR;
        default:
            return SDL_MESSAGEBOX_INFORMATION;
    }
}

}  // namespace

DWORD GetTickCount() { return static_cast<DWORD>(SDL_GetTicks64()); }

// Always on stderr too: the message must survive a desktop that cannot show the box.
int MessageBoxA(HWND /*owner*/, LPCSTR text, LPCSTR caption, UINT type) {
    const char* shownText = text != nullptr ? text : "";
    const char* shownCaption = caption != nullptr ? caption : "";
    std::fprintf(stderr, "%s: %s\n", shownCaption, shownText);
    if (win32::sdl::VideoRunning()) SDL_ShowSimpleMessageBox(MessageBoxFlags(type), shownCaption, shownText, nullptr);
    return IDOK;
}
