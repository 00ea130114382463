#pragma once
// The reference device: the shared front end, and the renderer that turns its draws into pixels.
// State calls only record; draws run the vertex stage at once and hand triangles to the
// renderer, which rasterises them when the frame is presented or read back.

#include <memory>

#include "platform/device_common/device_base.h"
#include "platform/reference/renderer.h"
#include "platform/reference/texture.h"

namespace reference {

class Device final : public device_common::DeviceBase {
public:
    // `width` and `height` are the back buffer's, already resolved from the parameters.
    Device(IDirect3D9* adapter, HWND window, DWORD behaviorFlags, const D3DPRESENT_PARAMETERS& parameters, UINT width,
           UINT height);
    ~Device() override;

    // Rasterises every recorded draw when the frame `frameSerial` is still being recorded:
    // called before a resource that frame reads is changed.
    void FinishFrameIfItReads(std::uint64_t frameSerial);

    // Rasterises what is pending and gives the back buffer (A8R8G8B8 words, width per row).
    const Renderer& FinishedFrame();

    // Finishes the frame, then rasterises with `threads` threads from now on.
    void SetRasterThreads(int threads);
    int RasterThreads() const { return renderer_->ThreadCount(); }

    // What the last presented frame took.
    const FrameStatistics& LastFrameStatistics() const { return lastFrame_; }

private:
    void FillCaps(D3DCAPS9& caps) override;
    bool SupportsTextureFormat(D3DFORMAT format) override;
    device_common::TextureBase* MakeTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool) override;
    device_common::VertexBufferBase* MakeVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool) override;
    device_common::IndexBufferBase* MakeIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool) override;
    HRESULT ClearTargets(DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z,
                         DWORD stencil) override;
    HRESULT PresentFrame(HWND window) override;
    HRESULT SubmitDraw(const device_common::DrawRequest& draw) override;

    std::unique_ptr<Renderer> renderer_;
    FrameStatistics lastFrame_;
};

}  // namespace reference
