#pragma once
// What a graphics device needs from a window to show its frames. Each backend implements
// these for its own windows; no device includes SDL or knows which backend it runs on.

#include <cstdint>

#include "platform/win32/win_types.h"

namespace win32 {

// Shows a finished frame of width x height BGRA pixels (pitch in pixels), stretched to the
// window's client area. Returns false when the window cannot show frames.
bool PresentPixels(HWND window, const std::uint32_t* bgra, int width, int height, int pitch);

}  // namespace win32
