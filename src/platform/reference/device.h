#pragma once
// The reference device: the API state, the resources it binds, and the renderer that turns its
// draws into pixels. State calls only record; draws run the vertex stage at once and hand
// triangles to the renderer, which rasterises them when the frame is presented or read back.

#include <memory>

#include "platform/reference/buffers.h"
#include "platform/reference/renderer.h"
#include "platform/reference/resource.h"
#include "platform/reference/device_base.h"
#include "platform/reference/texture.h"

namespace reference {

class Device final : public DeviceBase {
public:
    // `width` and `height` are the back buffer's, already resolved from the parameters.
    Device(IDirect3D9* adapter, HWND window, DWORD behaviorFlags, const D3DPRESENT_PARAMETERS& parameters,
           UINT width, UINT height);
    ~Device() override;

    HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT Present(const RECT* source, const RECT* dest, HWND destWindow, const void* dirtyRegion) override;

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                               HANDLE* sharedHandle) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle) override;
    HRESULT UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination) override;

    HRESULT Clear(DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override;


    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex, UINT numVertices,
                                 UINT startIndex, UINT primitiveCount) override;

    // Rasterises every recorded draw when the frame `frameSerial` is still being recorded:
    // called before a resource that frame reads is changed.
    void FinishFrameIfItReads(std::uint64_t frameSerial);

    // Rasterises what is pending and gives the back buffer (A8R8G8B8 words, width per row).
    const Renderer& FinishedFrame();

    // Finishes the frame, then rasterises with `threads` threads from now on.
    void SetRasterThreads(int threads);

private:
    bool CanBindTexture(IDirect3DBaseTexture9* texture) override;
    bool CanBindVertexBuffer(IDirect3DVertexBuffer9* buffer) override;
    bool CanBindIndexBuffer(IDirect3DIndexBuffer9* indices) override;

    HRESULT SubmitDraw(D3DPRIMITIVETYPE type, const DrawRange& range);

    std::shared_ptr<DeviceLink> link_;
    std::unique_ptr<Renderer> renderer_;
};

}  // namespace reference
