// The one adapter: Direct3DCreate9 hands it out, and it hands out the devices of its backend
// table. The hardware device comes first; it answers only where a hardware context exists.

#include <atomic>
#include <span>

#include "platform/d3d9/device_backend.h"
#include "platform/reference/reference_backend.h"
#ifdef QUENOLDE_HAS_GL_DEVICE
#include "platform/gl/gl_backend.h"
#endif

namespace d3d9 {
namespace {

std::atomic<DevicePolicy> g_policy{DevicePolicy::Automatic};

std::span<const DeviceBackend* const> Backends() {
    static const DeviceBackend* const table[] = {
#ifdef QUENOLDE_HAS_GL_DEVICE
        &gl::Backend(),
#endif
        &reference::Backend(),
    };
    return table;
}

const DeviceBackend* FindBackend(D3DDEVTYPE type) {
    if (type == D3DDEVTYPE_HAL && g_policy.load() == DevicePolicy::ReferenceOnly) return nullptr;
    for (const DeviceBackend* backend : Backends())
        if (backend->type == type) return backend;
    return nullptr;
}

class Adapter final : public IDirect3D9 {
public:
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDirect3D9) {
            AddRef();
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    UINT GetAdapterCount() override { return 1; }

    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override {
        if (adapter != D3DADAPTER_DEFAULT || !mode) return D3DERR_INVALIDCALL;
        // The desktop is taken as 32-bit colour; its size does not matter to the viewer.
        *mode = D3DDISPLAYMODE{1024, 768, 60, D3DFMT_X8R8G8B8};
        return D3D_OK;
    }

    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT format) override {
        if (adapter != D3DADAPTER_DEFAULT || adapterFormat != D3DFMT_X8R8G8B8) return D3DERR_INVALIDCALL;
        const DeviceBackend* backend = FindBackend(type);
        if (!backend) return D3DERR_NOTAVAILABLE;
        return backend->checkFormat(usage, resourceType, format);
    }

    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override {
        if (adapter != D3DADAPTER_DEFAULT || !caps) return D3DERR_INVALIDCALL;
        const DeviceBackend* backend = FindBackend(type);
        if (!backend) return D3DERR_NOTAVAILABLE;
        return backend->getCaps(caps);
    }

    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND window, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override {
        if (adapter != D3DADAPTER_DEFAULT || !parameters || !device) return D3DERR_INVALIDCALL;
        const DWORD processing =
            behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                             D3DCREATE_MIXED_VERTEXPROCESSING);
        // Exactly one kind of vertex processing must be asked for.
        if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING && processing != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
            processing != D3DCREATE_MIXED_VERTEXPROCESSING)
            return D3DERR_INVALIDCALL;
        const DeviceBackend* backend = FindBackend(type);
        if (!backend) return D3DERR_NOTAVAILABLE;
        *device = nullptr;
        return backend->create(this, window ? window : parameters->hDeviceWindow, behaviorFlags, *parameters, device);
    }

private:
    ~Adapter() override = default;
    std::atomic<ULONG> references_{1};
};

}  // namespace

std::string DescribeDevice(IDirect3DDevice9* device) {
    for (const DeviceBackend* backend : Backends()) {
        std::string words = backend->describe(device);
        if (!words.empty()) return words;
    }
    return {};
}

void SetDevicePolicy(DevicePolicy policy) { g_policy = policy; }
DevicePolicy GetDevicePolicy() { return g_policy; }

}  // namespace d3d9

IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION) return nullptr;
    return new d3d9::Adapter();
}
