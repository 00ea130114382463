#include <new>

#include "platform/reference/caps.h"
#include "platform/reference/device.h"
#include "platform/reference/reference_backend.h"
#include "platform/win32/windows_api.h"

namespace reference {
namespace {

constexpr UINT kMaxBackBuffer = 4096;

HRESULT GetCaps(D3DCAPS9* caps) {
    if (caps == nullptr) return D3DERR_INVALIDCALL;
    FillCaps(*caps);
    return D3D_OK;
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
    D3DFORMAT colour = parameters.BackBufferFormat;
    if (colour != D3DFMT_UNKNOWN && colour != D3DFMT_X8R8G8B8 && colour != D3DFMT_A8R8G8B8) return false;
    if (!parameters.EnableAutoDepthStencil) return true;
    D3DFORMAT depth = parameters.AutoDepthStencilFormat;
    return depth == D3DFMT_D24S8 || depth == D3DFMT_D24X8 || depth == D3DFMT_D16 || depth == D3DFMT_D32;
}

HRESULT Create(IDirect3D9* adapter, HWND window, DWORD behaviorFlags, const D3DPRESENT_PARAMETERS& parameters,
               IDirect3DDevice9** device) {
    if (device == nullptr) return D3DERR_INVALIDCALL;
    // The device transforms and lights in software; it cannot promise hardware vertex processing.
    if (behaviorFlags & (D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE)) return D3DERR_INVALIDCALL;
    if (parameters.MultiSampleType != D3DMULTISAMPLE_NONE || !FormatsAreSupported(parameters))
        return D3DERR_NOTAVAILABLE;
    HWND target = parameters.hDeviceWindow != nullptr ? parameters.hDeviceWindow : window;
    UINT width = 0, height = 0;
    if (!ResolveBackBufferSize(target, parameters, width, height)) return D3DERR_INVALIDCALL;
    auto* created = new (std::nothrow) Device(adapter, target, behaviorFlags, parameters, width, height);
    if (created == nullptr) return E_OUTOFMEMORY;
    *device = created;
    return D3D_OK;
}

const d3d9::DeviceBackend kBackend{D3DDEVTYPE_REF, "reference", GetCaps, CheckFormat, Create};

}  // namespace

const d3d9::DeviceBackend& Backend() { return kBackend; }

}  // namespace reference
