#pragma once
// SDL's events turned into the window messages the scene handles.

namespace win32::sdl {

// Moves every pending SDL event into the message queue; never waits.
void PumpEvents();

}  // namespace win32::sdl
