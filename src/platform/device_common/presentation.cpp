#include "platform/device_common/presentation.h"

#include "platform/win32/windows_api.h"

namespace device_common {
namespace {

bool FormatsAreSupported(const D3DPRESENT_PARAMETERS& parameters) {
    const D3DFORMAT colour = parameters.BackBufferFormat;
    if (colour != D3DFMT_UNKNOWN && colour != D3DFMT_X8R8G8B8 && colour != D3DFMT_A8R8G8B8) return false;
    if (!parameters.EnableAutoDepthStencil) return true;
    const D3DFORMAT depth = parameters.AutoDepthStencilFormat;
    return depth == D3DFMT_D24S8 || depth == D3DFMT_D24X8 || depth == D3DFMT_D16 || depth == D3DFMT_D32;
}

bool ResolveBackBufferSize(HWND window, const D3DPRESENT_PARAMETERS& parameters, UINT& width, UINT& height) {
    width = parameters.BackBufferWidth;
    height = parameters.BackBufferHeight;
    if (width == 0 || height == 0) {
        RECT client{};
        if (window == nullptr || !GetClientRect(window, &client)) return false;
        if (width == 0) width = static_cast<UINT>(client.right - client.left);
        if (height == 0) height = static_cast<UINT>(client.bottom - client.top);
    }
    return width > 0 && height > 0 && width <= kMaxBackBuffer && height <= kMaxBackBuffer;
}

}  // namespace

HRESULT ResolvePresentation(HWND focusWindow, const D3DPRESENT_PARAMETERS& parameters, Presentation& out) {
    if (parameters.MultiSampleType != D3DMULTISAMPLE_NONE || !FormatsAreSupported(parameters))
        return D3DERR_NOTAVAILABLE;
    out.window = parameters.hDeviceWindow != nullptr ? parameters.hDeviceWindow : focusWindow;
    return ResolveBackBufferSize(out.window, parameters, out.width, out.height) ? D3D_OK : D3DERR_INVALIDCALL;
}

}  // namespace device_common
