// The reference device's record for the adapter: it runs wherever the program does.
#include <new>
#include <string>

#include "platform/device_common/presentation.h"
#include "platform/reference/caps.h"
#include "platform/reference/device.h"
#include "platform/reference/reference_backend.h"
#include "platform/reference/tile_raster.h"

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

std::string Describe(IDirect3DDevice9* device) {
    auto* ours = dynamic_cast<Device*>(device);
    if (ours == nullptr) return {};
    const int threads = ours->RasterThreads();
    return "the reference device, " + std::to_string(threads) + (threads == 1 ? " thread, " : " threads, ") +
           KernelSetName(ChosenKernelSet()) + " kernels";
}

const d3d9::DeviceBackend kBackend{D3DDEVTYPE_REF, "reference", GetCaps, CheckFormat, Create, Describe};

}  // namespace

const d3d9::DeviceBackend& Backend() { return kBackend; }

}  // namespace reference
