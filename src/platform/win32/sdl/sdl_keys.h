#pragma once
// SDL key codes to Windows virtual-key codes.

#include <SDL_keycode.h>

namespace win32::sdl {

// 0 for keys the scene has no code for.
int VirtualKeyFromSdl(SDL_Keycode key);

}  // namespace win32::sdl
