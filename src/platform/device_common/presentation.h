#pragma once
// What the devices accept when they are created: the window they present to and the size and
// formats of their back buffer.

#include "platform/d3d9/d3d9_api.h"

namespace device_common {

// The largest back buffer side the devices make.
constexpr UINT kMaxBackBuffer = 4096;

struct Presentation {
    HWND window;  // the device window, or the focus window when none is named
    UINT width;   // the back buffer's, a zero in the parameters taking the window's client size
    UINT height;
};

// D3DERR_NOTAVAILABLE for multisampling or a back buffer or depth format the devices do not
// offer; D3DERR_INVALIDCALL for a size that is zero with no window to take it from, or too large.
HRESULT ResolvePresentation(HWND focusWindow, const D3DPRESENT_PARAMETERS& parameters, Presentation& out);

}  // namespace device_common
