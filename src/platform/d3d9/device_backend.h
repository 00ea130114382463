#pragma once
// How the adapter meets the devices: each device kind offers one backend record, and the
// adapter keeps a small table of them (HAL first, then REF). Calls through these records happen
// once per device or resource query, never per draw.

#include <string>

#include "platform/d3d9/d3d9_api.h"

namespace d3d9 {

struct DeviceBackend {
    D3DDEVTYPE type;
    const char* name;
    // Fills the device's capabilities. Fails with D3DERR_NOTAVAILABLE when this device cannot run
    // on this machine (the hardware device without a hardware OpenGL context, say).
    HRESULT (*getCaps)(D3DCAPS9* caps);
    // D3D_OK when the device can create and sample `format` for this usage and resource kind.
    HRESULT (*checkFormat)(DWORD usage, D3DRESOURCETYPE resourceType, D3DFORMAT format);
    // Creates the device; `adapter` is the Direct3D object that GetDirect3D hands back.
    HRESULT(*create)
    (IDirect3D9* adapter, HWND window, DWORD behaviorFlags, const D3DPRESENT_PARAMETERS& parameters,
     IDirect3DDevice9** device);
    // A few words naming a device this back end made and how it runs; empty for any other device.
    std::string (*describe)(IDirect3DDevice9* device);
};

// The words of whichever back end made `device` (empty when none did).
std::string DescribeDevice(IDirect3DDevice9* device);

// Which devices the adapter may hand out. Tools and tests pin the reference device; the viewer
// lets the adapter offer the hardware device when it can run.
enum class DevicePolicy { Automatic, ReferenceOnly };
void SetDevicePolicy(DevicePolicy policy);
DevicePolicy GetDevicePolicy();

}  // namespace d3d9
