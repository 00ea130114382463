#pragma once
// The SDL backend's window as SDL sees it, for the few users that must talk to SDL about it
// (an OpenGL device making its context on the window, tests). Windows are created with
// SDL_WINDOW_OPENGL, so a GL context can be made on them.

#include "platform/win32/win_types.h"

struct SDL_Window;

namespace win32::sdl {

// Null when `window` is not a live window of this backend.
SDL_Window* SdlWindowOf(HWND window);

// Starts SDL video for a program that needs the user to see its window. False, with the reason on
// standard error, when there is no display to show it on: SDL cannot start, or it could only fall
// back to a driver that shows nothing, which only an explicit SDL_VIDEODRIVER may choose.
bool OpenDisplay();

}  // namespace win32::sdl
