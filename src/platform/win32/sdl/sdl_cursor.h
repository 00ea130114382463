#pragma once
// The cursor the way the scene uses it: hidden, and put back every frame on a reference point
// so that the distance from it is the mouse motion. On X11 the pointer really is warped; on
// Wayland, where a client may not move the pointer, relative mouse mode supplies the motion and
// the position reported is the reference point plus the motion since it was set.

union SDL_Event;

namespace win32::sdl {

void ApplyCursorVisibility();
// Relative motion from the event pump (used on Wayland only).
void TrackMotion(const SDL_Event& event);

}  // namespace win32::sdl
