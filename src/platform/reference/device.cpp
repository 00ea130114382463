#include "platform/reference/device.h"

#include <new>

#include "platform/device_common/formats.h"
#include "platform/reference/caps.h"
#include "platform/reference/tile_workers.h"
#include "platform/win32/window_surface.h"

namespace reference {

Device::Device(IDirect3D9* adapter, HWND window, DWORD behaviorFlags, const D3DPRESENT_PARAMETERS& parameters,
               UINT width, UINT height)
    : DeviceBase(adapter, D3DDEVTYPE_REF, window, behaviorFlags, parameters, width, height),
      renderer_(std::make_unique<Renderer>(static_cast<int>(width), static_cast<int>(height),
                                           parameters.BackBufferFormat == D3DFMT_A8R8G8B8,
                                           parameters.EnableAutoDepthStencil != FALSE, DefaultThreadCount())) {}

Device::~Device() {
    renderer_.reset();  // gives back the textures the last frame held
    ReleaseBindingsAndDetach();
}

void Device::FillCaps(D3DCAPS9& caps) { reference::FillCaps(caps); }

bool Device::SupportsTextureFormat(D3DFORMAT format) { return device_common::IsTextureFormat(format); }

device_common::TextureBase* Device::MakeTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                                D3DPOOL pool) {
    return new (std::nothrow) Texture(Link(), width, height, levels, usage, format, pool);
}

device_common::VertexBufferBase* Device::MakeVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool) {
    return new (std::nothrow) device_common::VertexBufferBase(Link(), length, usage, fvf, pool);
}

device_common::IndexBufferBase* Device::MakeIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool) {
    return new (std::nothrow) device_common::IndexBufferBase(Link(), length, usage, format, pool);
}

HRESULT Device::ClearTargets(DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD) {
    renderer_->Clear(state_.viewport, rectCount, rects, flags, colour, z);
    return D3D_OK;
}

HRESULT Device::PresentFrame(HWND window) {
    const Renderer& frame = FinishedFrame();
    lastFrame_ = renderer_->TakeStatistics();
    if (window == nullptr) return D3D_OK;  // nowhere to show it; the frame stays readable
    win32::PresentPixels(window, frame.Colour(), frame.Width(), frame.Height(), frame.Pitch());
    return D3D_OK;
}

HRESULT Device::SubmitDraw(const device_common::DrawRequest& draw) {
    const bool indexed = draw.indices != nullptr;
    const DrawRange range{
        draw.type,
        draw.primitiveCount,
        draw.vertices->Store().Data() + draw.FirstVertexByte(),
        draw.stride,
        draw.vertexCount,
        indexed ? draw.indices->Store().Data() + static_cast<std::size_t>(draw.startIndex) * draw.indices->IndexSize()
                : nullptr,
        indexed ? draw.indices->IndexSize() : 0,
        indexed ? draw.minVertexIndex : 0};
    Texture* textures[device_common::kDrawnStages] = {};
    for (DWORD s = 0; s < device_common::kDrawnStages; ++s) textures[s] = static_cast<Texture*>(state_.textures[s]);
    renderer_->Draw(state_, textures, range);
    return D3D_OK;
}

void Device::FinishFrameIfItReads(std::uint64_t frameSerial) {
    if (renderer_ != nullptr && frameSerial == renderer_->Serial() && renderer_->Pending()) renderer_->Finish();
}

const Renderer& Device::FinishedFrame() {
    renderer_->Finish();
    return *renderer_;
}

void Device::SetRasterThreads(int threads) {
    renderer_->Finish();
    renderer_->SetThreadCount(threads);
}

}  // namespace reference
