#pragma once
// SDL's video subsystem, started on first need (the first window), never at load time, so
// that a program that opens no window never touches the display.

namespace win32::sdl {

// Starts SDL video when it is not running yet; says why on stderr and returns false when it
// cannot start.
bool EnsureVideo();
bool VideoRunning();
bool IsWayland();

}  // namespace win32::sdl
