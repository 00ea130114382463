// The hardware device's record for the adapter: it answers only where the window layer gives
// an OpenGL 3.3 core context on real hardware (or on software GL when explicitly allowed).
#include <cstdio>

#include "platform/gl/caps.h"
#include "platform/gl/device.h"
#include "platform/gl/gl_backend.h"
#include "platform/win32/windows_api.h"

namespace gl {
namespace {

constexpr UINT kMaxBackBuffer = 4096;

// The probed GL when the device may run on it; said once on standard error when it may not.
const GlInfo* UsableGl() {
    const GlInfo* info = ProbedGl();
    if (info == nullptr) return nullptr;
    std::string why;
    if (Usable(*info, &why)) return info;
    static bool said = false;
    if (!said) std::fprintf(stderr, "OpenGL device: %s; the hardware device is not offered\n", why.c_str());
    said = true;
    return nullptr;
}

HRESULT GetCaps(D3DCAPS9* caps) {
    if (caps == nullptr) return D3DERR_INVALIDCALL;
    if (UsableGl() == nullptr) return D3DERR_NOTAVAILABLE;
    FillCaps(*caps);
    return D3D_OK;
}

HRESULT CheckTextureFormat(DWORD usage, D3DRESOURCETYPE resourceType, D3DFORMAT format) {
    const GlInfo* info = UsableGl();
    if (info == nullptr) return D3DERR_NOTAVAILABLE;
    return CheckFormat(*info, usage, resourceType, format);
}

// The back buffer size: as the parameters say, a zero taking the window's client size.
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

bool FormatsAreSupported(const D3DPRESENT_PARAMETERS& parameters) {
    const D3DFORMAT colour = parameters.BackBufferFormat;
    if (colour != D3DFMT_UNKNOWN && colour != D3DFMT_X8R8G8B8 && colour != D3DFMT_A8R8G8B8) return false;
    if (!parameters.EnableAutoDepthStencil) return true;
    const D3DFORMAT depth = parameters.AutoDepthStencilFormat;
    return depth == D3DFMT_D24S8 || depth == D3DFMT_D24X8 || depth == D3DFMT_D16 || depth == D3DFMT_D32;
}

HRESULT Create(IDirect3D9* adapter, HWND window, DWORD behaviorFlags, const D3DPRESENT_PARAMETERS& parameters,
               IDirect3DDevice9** device) {
    if (device == nullptr) return D3DERR_INVALIDCALL;
    if (UsableGl() == nullptr) return D3DERR_NOTAVAILABLE;
    if (parameters.MultiSampleType != D3DMULTISAMPLE_NONE || !FormatsAreSupported(parameters))
        return D3DERR_NOTAVAILABLE;
    HWND target = parameters.hDeviceWindow != nullptr ? parameters.hDeviceWindow : window;
    UINT width = 0, height = 0;
    if (!ResolveBackBufferSize(target, parameters, width, height)) return D3DERR_INVALIDCALL;
    return Device::Create(adapter, target, behaviorFlags, parameters, width, height, device);
}

const d3d9::DeviceBackend kBackend{D3DDEVTYPE_HAL, "OpenGL", GetCaps, CheckTextureFormat, Create};

}  // namespace

const d3d9::DeviceBackend& Backend() { return kBackend; }

}  // namespace gl
