#include "support/test_device.h"

#include <stdexcept>

#include "platform/d3d9/device_backend.h"
#include "platform/win32/windows_api.h"

namespace testdevice {

namespace {

constexpr int kWindowSize = 32;

HWND TestWindow() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "utilities test";
    RegisterClassExA(&windowClass);
    return CreateWindowExA(0, "utilities test", "", 0, 0, 0, kWindowSize, kWindowSize, nullptr, nullptr, nullptr,
                           nullptr);
}

// The adapter with CheckDeviceFormat narrowed to the listed formats.
class LimitedAdapter final : public IDirect3D9 {
public:
    LimitedAdapter(IDirect3D9* inner, const std::set<D3DFORMAT>& formats) : inner_(inner), formats_(formats) {}
    HRESULT QueryInterface(REFIID iid, void** out) override { return inner_->QueryInterface(iid, out); }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            inner_->Release();
            delete this;
        }
        return left;
    }
    UINT GetAdapterCount() override { return inner_->GetAdapterCount(); }
    HRESULT GetAdapterDisplayMode(UINT a, D3DDISPLAYMODE* m) override { return inner_->GetAdapterDisplayMode(a, m); }
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT format) override {
        if (!formats_.empty() && formats_.count(format) == 0) return D3DERR_NOTAVAILABLE;
        return inner_->CheckDeviceFormat(adapter, type, adapterFormat, usage, resourceType, format);
    }
    HRESULT GetDeviceCaps(UINT a, D3DDEVTYPE t, D3DCAPS9* c) override { return inner_->GetDeviceCaps(a, t, c); }
    HRESULT CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*, IDirect3DDevice9**) override {
        return D3DERR_NOTAVAILABLE;
    }

private:
    ~LimitedAdapter() override = default;
    IDirect3D9* inner_;
    std::set<D3DFORMAT> formats_;
    ULONG references_ = 1;
};

// A texture that tells its device when it goes, and whose surfaces can be refused.
class TrackedTexture final : public IDirect3DTexture9 {
public:
    TrackedTexture(IDirect3DTexture9* inner, LimitedDevice* device) : inner_(inner), device_(device) {
        ++device_->liveTextures;
    }
    IDirect3DTexture9* inner() const { return inner_; }

    HRESULT QueryInterface(REFIID iid, void** out) override { return inner_->QueryInterface(iid, out); }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            --device_->liveTextures;
            inner_->Release();
            delete this;
        }
        return left;
    }
    HRESULT GetDevice(IDirect3DDevice9** d) override { return inner_->GetDevice(d); }
    DWORD SetPriority(DWORD p) override { return inner_->SetPriority(p); }
    DWORD GetPriority() override { return inner_->GetPriority(); }
    void PreLoad() override { inner_->PreLoad(); }
    D3DRESOURCETYPE GetType() override { return inner_->GetType(); }
    DWORD SetLOD(DWORD l) override { return inner_->SetLOD(l); }
    DWORD GetLOD() override { return inner_->GetLOD(); }
    DWORD GetLevelCount() override { return inner_->GetLevelCount(); }
    HRESULT GetLevelDesc(UINT l, D3DSURFACE_DESC* d) override { return inner_->GetLevelDesc(l, d); }
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override {
        if (device_->surfaceLevelCalls++ == device_->limits().failSurfaceLevel) return device_->limits().failure;
        return inner_->GetSurfaceLevel(level, surface);
    }
    HRESULT LockRect(UINT l, D3DLOCKED_RECT* r, const RECT* rect, DWORD f) override {
        return inner_->LockRect(l, r, rect, f);
    }
    HRESULT UnlockRect(UINT l) override { return inner_->UnlockRect(l); }

private:
    ~TrackedTexture() override = default;
    IDirect3DTexture9* inner_;
    LimitedDevice* device_;
    ULONG references_ = 1;
};

}  // namespace

ReferenceDevice::ReferenceDevice() {
    d3d9::SetDevicePolicy(d3d9::DevicePolicy::ReferenceOnly);
    HWND window = TestWindow();
    d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    if (d3d_ == nullptr) throw std::runtime_error("no Direct3D object");
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = p.BackBufferHeight = kWindowSize;
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.BackBufferCount = 1;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.hDeviceWindow = window;
    p.Windowed = TRUE;
    if (FAILED(d3d_->CreateDevice(0, D3DDEVTYPE_REF, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p, &device_)))
        throw std::runtime_error("no reference device");
}

ReferenceDevice::~ReferenceDevice() {
    if (device_ != nullptr) device_->Release();
    if (d3d_ != nullptr) d3d_->Release();
}

LimitedDevice::LimitedDevice(IDirect3DDevice9* inner, Limits limits) : inner_(inner), limits_(std::move(limits)) {}

LimitedDevice::~LimitedDevice() = default;

HRESULT LimitedDevice::GetDirect3D(IDirect3D9** d3d) {
    IDirect3D9* inner = nullptr;
    const HRESULT hr = inner_->GetDirect3D(&inner);
    if (FAILED(hr)) return hr;
    *d3d = new LimitedAdapter(inner, limits_.formats);
    return hr;
}

HRESULT LimitedDevice::GetDeviceCaps(D3DCAPS9* caps) {
    const HRESULT hr = inner_->GetDeviceCaps(caps);
    if (SUCCEEDED(hr) && limits_.adjustCaps) limits_.adjustCaps(*caps);
    return hr;
}

HRESULT LimitedDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     IDirect3DTexture9** texture, HANDLE* shared) {
    if (createTextureCalls++ == limits_.failCreateTexture) return limits_.failure;
    IDirect3DTexture9* inner = nullptr;
    const HRESULT hr = inner_->CreateTexture(width, height, levels, usage, format, pool, &inner, shared);
    if (FAILED(hr)) return hr;
    *texture = new TrackedTexture(inner, this);
    return hr;
}

HRESULT LimitedDevice::UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination) {
    ++updateTextureCalls;
    if (limits_.failUpdateTexture) return limits_.failure;
    return inner_->UpdateTexture(Unwrap(static_cast<IDirect3DTexture9*>(source)),
                                 Unwrap(static_cast<IDirect3DTexture9*>(destination)));
}

IDirect3DTexture9* Unwrap(IDirect3DTexture9* texture) {
    auto* tracked = dynamic_cast<TrackedTexture*>(texture);
    return tracked != nullptr ? tracked->inner() : texture;
}

}  // namespace testdevice
