// The reference device's record for the adapter: it runs wherever the program does.
#include <new>

#include "platform/device_common/presentation.h"
#include "platform/reference/caps.h"
#include "platform/reference/device.h"
#include "platform/reference/reference_backend.h"

namespace reference {
namespace {

HRESULT GetCaps(D3DCAPS9* caps) {
    if (caps == nullptr) return D3DERR_INVALIDCALL;
    FillCaps(*caps);
    return D3D_OK;
}

HRESULT Create(IDirect3D9* adapter, HWND window, DWORD behaviorFlags, const D3DPRESENT_PARAMETERS& parameters,
               IDirect3DDevice9** device) {
    if (device == nullptr) return D3DERR_INVALIDCALL;
    // The device transforms and lights in software; it cannot promise hardware vertex processing.
    if (behaviorFlags & (D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE)) return D3DERR_INVALIDCALL;
    device_common::Presentation presentation{};
    const HRESULT resolved = device_common::ResolvePresentation(window, parameters, presentation);
    if (FAILED(resolved)) return resolved;
    auto* created = new (std::nothrow)
        Device(adapter, presentation.window, behaviorFlags, parameters, presentation.width, presentation.height);
    if (created == nullptr) return E_OUTOFMEMORY;
    *device = created;
    return D3D_OK;
}

const d3d9::DeviceBackend kBackend{D3DDEVTYPE_REF, "reference", GetCaps, CheckFormat, Create};

}  // namespace

const d3d9::DeviceBackend& Backend() { return kBackend; }

}  // namespace reference
