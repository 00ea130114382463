#pragma once
// What a graphics device needs from a window to show its frames. Each backend implements
// these for its own windows; no device includes SDL or knows which backend it runs on.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/win32/win_types.h"

namespace win32 {

// Shows a finished frame of width x height BGRA pixels (pitch in pixels), stretched to the
// window's client area. Returns false when the window cannot show frames.
bool PresentPixels(HWND window, const std::uint32_t* bgra, int width, int height, int pitch);

// Whether anyone looks at the pixels of the frames shown in `window`: false only where no one
// will (a headless run that asked not to keep them). There a device may pass null pixels to
// PresentPixels, which then counts the frame, and read nothing back to show it.
bool WantsFramePixels(HWND window);

// An OpenGL 3.3 core context that a backend makes for the hardware device: on the window itself
// (SDL), or without any screen (headless, EGL). The device draws into a framebuffer object of its
// own; the context only shows that framebuffer. One thread, the window thread, uses it.
class GlContext {
public:
    virtual ~GlContext() = default;
    // Makes the context current on the calling thread; false when the platform refuses.
    virtual bool MakeCurrent() = 0;
    // The entry point of a GL function, or null when this GL lacks it.
    virtual void* ProcAddress(const char* name) = 0;
    // Shows the width x height colour image of `framebuffer` (rows stored top row first)
    // stretched over the client area, without waiting for the vertical retrace. The context must
    // be current, the scissor test off and the pixel pack state at its defaults; framebuffer
    // bindings are left changed. False when the frame could not be shown.
    virtual bool Present(unsigned framebuffer, int width, int height) = 0;
};

// A context for `window`, made current. A null window asks for a context that shows nothing,
// made only to learn which OpenGL this backend would give a window. Null, with the reason in
// `why`, when no OpenGL 3.3 core context can be made.
std::unique_ptr<GlContext> CreateGlContext(HWND window, std::string* why);

}  // namespace win32
