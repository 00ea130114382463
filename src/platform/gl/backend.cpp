// The hardware device's record for the adapter: it answers only where the window layer gives
// an OpenGL 3.3 core context on real hardware (or on software GL when explicitly allowed).
#include <cstdio>

#include "platform/device_common/presentation.h"
#include "platform/gl/caps.h"
#include "platform/gl/device.h"
#include "platform/gl/gl_backend.h"

namespace gl {
namespace {

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

HRESULT Create(IDirect3D9* adapter, HWND window, DWORD behaviorFlags, const D3DPRESENT_PARAMETERS& parameters,
               IDirect3DDevice9** device) {
    if (device == nullptr) return D3DERR_INVALIDCALL;
    if (UsableGl() == nullptr) return D3DERR_NOTAVAILABLE;
    device_common::Presentation presentation{};
    const HRESULT resolved = device_common::ResolvePresentation(window, parameters, presentation);
    if (FAILED(resolved)) return resolved;
    return Device::Create(adapter, presentation.window, behaviorFlags, parameters, presentation.width,
                          presentation.height, device);
}

std::string Describe(IDirect3DDevice9* device) {
    auto* ours = dynamic_cast<Device*>(device);
    return ours == nullptr ? std::string() : "the OpenGL device on " + ours->Renderer();
}

const d3d9::DeviceBackend kBackend{D3DDEVTYPE_HAL, "OpenGL", GetCaps, CheckTextureFormat, Create, Describe};

}  // namespace

const d3d9::DeviceBackend& Backend() { return kBackend; }

}  // namespace gl
