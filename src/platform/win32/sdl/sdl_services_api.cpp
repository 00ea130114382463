// The clock and message boxes on a desktop.

#include <SDL.h>

#include <cstdio>
#include <string>

#include "platform/win32/diagnostics.h"
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

// Always on stderr too: the message must survive a desktop that cannot show the box, and when it
// cannot, the user is told so rather than waiting for a box that never comes.
int MessageBoxA(HWND /*owner*/, LPCSTR text, LPCSTR caption, UINT type) {
    const char* shownText = text != nullptr ? text : "";
    const char* shownCaption = caption != nullptr ? caption : "";
    std::fprintf(stderr, "%s: %s\n", shownCaption, shownText);
    if (!win32::sdl::VideoRunning()) {
        win32::Diagnose("message box", "not shown: there is no display (its text is the line above)");
    } else if (SDL_ShowSimpleMessageBox(MessageBoxFlags(type), shownCaption, shownText, nullptr) != 0) {
        win32::Diagnose("message box",
                        std::string("the desktop cannot show it (") + SDL_GetError() + "); its text is the line above");
    }
    return IDOK;
}
