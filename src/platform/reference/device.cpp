#include "platform/reference/device.h"

#include "platform/reference/caps.h"
#include "platform/reference/tile_workers.h"
#include "platform/win32/window_surface.h"

namespace reference {

HRESULT HandOutDevice(Device* device, IDirect3DDevice9** out) {
    if (out == nullptr) return D3DERR_INVALIDCALL;
    *out = device;
    if (device == nullptr) return D3DERR_INVALIDCALL;
    device->AddRef();
    return D3D_OK;
}

Device::Device(IDirect3D9* adapter, HWND window, DWORD behaviorFlags, const D3DPRESENT_PARAMETERS& parameters,
               UINT width, UINT height)
    : DeviceBase(adapter, D3DDEVTYPE_REF, window, behaviorFlags, parameters, width, height),
      link_(std::make_shared<DeviceLink>()),
      renderer_(std::make_unique<Renderer>(static_cast<int>(width), static_cast<int>(height),
                                           parameters.BackBufferFormat == D3DFMT_A8R8G8B8,
                                           parameters.EnableAutoDepthStencil != FALSE, DefaultThreadCount())) {
    link_->device = this;
}

Device::~Device() {
    renderer_.reset();  // gives back the textures the last frame held
    ReleaseBindings();
    link_->device = nullptr;
}

// Only our own resources; textures only when the device can sample from them.
bool Device::CanBindTexture(IDirect3DBaseTexture9* texture) {
    auto* ours = dynamic_cast<Texture*>(texture);
    return ours != nullptr && ours->Pool() != D3DPOOL_SYSTEMMEM && ours->Pool() != D3DPOOL_SCRATCH;
}

bool Device::CanBindVertexBuffer(IDirect3DVertexBuffer9* buffer) { return dynamic_cast<VertexBuffer*>(buffer) != nullptr; }

bool Device::CanBindIndexBuffer(IDirect3DIndexBuffer9* indices) { return dynamic_cast<IndexBuffer*>(indices) != nullptr; }

HRESULT Device::GetDeviceCaps(D3DCAPS9* caps) {
    if (caps == nullptr) return D3DERR_INVALIDCALL;
    FillCaps(*caps);
    return D3D_OK;
}

HRESULT Device::Clear(DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD) {
    if (rectCount != 0 && rects == nullptr) return D3DERR_INVALIDCALL;
    if ((flags & (D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) == 0) return D3DERR_INVALIDCALL;
    // Depth and stencil can only be cleared when there is a depth buffer.
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0 && !parameters_.EnableAutoDepthStencil)
        return D3DERR_INVALIDCALL;
    if (z < 0.0f || z > 1.0f) return D3DERR_INVALIDCALL;
    renderer_->Clear(state_.viewport, rectCount, rects, flags, color, z);
    return D3D_OK;
}

HRESULT Device::Present(const RECT*, const RECT*, HWND destWindow, const void*) {
    if (inScene_) return D3DERR_INVALIDCALL;
    const Renderer& frame = FinishedFrame();
    HWND target = destWindow != nullptr ? destWindow : window_;
    if (target == nullptr) return D3D_OK;  // nowhere to show it; the frame stays readable
    win32::PresentPixels(target, frame.Colour(), frame.Width(), frame.Height(), frame.Pitch());
    return D3D_OK;
}

void Device::FinishFrameIfItReads(std::uint64_t frameSerial) {
    if (renderer_ != nullptr && frameSerial == renderer_->Serial() && renderer_->Pending()) renderer_->Finish();
}

const Renderer& Device::FinishedFrame() {
    renderer_->Finish();
    return *renderer_;
}

}  // namespace reference

namespace reference {

void Device::SetRasterThreads(int threads) {
    renderer_->Finish();
    renderer_->SetThreadCount(threads);
}

}  // namespace reference
