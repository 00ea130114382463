#pragma once
// The hardware device: the API state (the same record and defaults as the reference device),
// the resources it binds, and an OpenGL context that draws them. State calls only record; a
// draw turns the state that matters into GL state, applied by difference, and a generated
// program found by the state's key. Single-threaded, like the scene.

#include <array>
#include <memory>
#include <string>

#include "platform/gl/constants.h"
#include "platform/gl/context.h"
#include "platform/gl/fixed_state.h"
#include "platform/gl/gl_info.h"
#include "platform/gl/program_cache.h"
#include "platform/gl/readback.h"
#include "platform/gl/render_target.h"
#include "platform/gl/resource.h"
#include "platform/gl/state_cache.h"
#include "platform/reference/api_state.h"
#include "platform/reference/device_base.h"
#include "platform/reference/vertex_layout.h"

namespace gl {

class VertexBuffer;
class IndexBuffer;

class Device final : public reference::DeviceBase {
public:
    // Makes the device with its context and GL objects; on failure says why on standard error
    // and returns D3DERR_NOTAVAILABLE. `width` and `height` are the resolved back buffer size.
    static HRESULT Create(IDirect3D9* adapter, HWND window, DWORD behaviorFlags,
                          const D3DPRESENT_PARAMETERS& parameters, UINT width, UINT height, IDirect3DDevice9** device);
    ~Device() override;

    HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT Present(const RECT* source, const RECT* dest, HWND destWindow, const void* dirtyRegion) override;

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                               HANDLE* sharedHandle) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool, IDirect3DIndexBuffer9** buffer,
                              HANDLE* sharedHandle) override;
    HRESULT UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination) override;

    HRESULT Clear(DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;


    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex, UINT numVertices,
                                 UINT startIndex, UINT primitiveCount) override;

    // For resources going away while the device lives.
    void DeleteBuffer(GLuint buffer);
    void DeleteTexture(GLuint texture);

    // For tests and tools (readback.h).
    bool ReadColour(std::vector<std::uint32_t>& bgra);
    bool ReadDepth(std::vector<std::uint32_t>& depth);
    const FrameStatistics& Statistics() const { return statistics_; }
    void SetStateFiltering(bool filtering);

private:
    bool CanBindTexture(IDirect3DBaseTexture9* texture) override;
    bool CanBindVertexBuffer(IDirect3DVertexBuffer9* buffer) override;
    bool CanBindIndexBuffer(IDirect3DIndexBuffer9* indices) override;

    // The vertices a draw reads, as checked against the bound buffers.
    struct DrawCall {
        D3DPRIMITIVETYPE type;
        UINT primitiveCount;
        UINT elementCount;         // vertices, or indices when indexed
        std::int64_t firstVertex;  // added to every index (or the first vertex of a plain draw)
        UINT firstIndex;
        bool indexed;
        bool filtered = false;  // drawn from filteredIndices_, as a list
    };

    // The vertex input last set up: what it was made from.
    struct VertexInput {
        GLuint buffer = 0;
        UINT offset = 0;
        UINT stride = 0;
        DWORD fvf = 0;
        bool operator==(const VertexInput&) const = default;
    };

    Device(IDirect3D9* adapter, HWND window, DWORD behaviorFlags, const D3DPRESENT_PARAMETERS& parameters, UINT width,
           UINT height);
    bool Initialise(std::string* why);
    bool WarmUp(std::string* why);
    bool Bind();

    HRESULT Submit(const DrawCall& call);
    HRESULT SubmitFiltered(DrawCall call, UINT minVertexIndex, UINT numVertices);
    void BindFilteredIndices();
    bool ApplyProgram(const reference::VertexLayout& layout, const bool textured[kStages]);
    void ApplyFixedState();
    void ApplyConstants();
    void ApplyTextures(const bool textured[kStages]);
    // Brings sampler object `stage` to the stage's sampler states: what changed, or everything.
    void UpdateSampler(DWORD stage, bool everything);
    void ApplyVertexInput(const reference::VertexLayout& layout);

    std::shared_ptr<DeviceLink> link_;

    std::unique_ptr<Context> context_;
    GlInfo info_;
    std::unique_ptr<StateCache> cache_;
    std::unique_ptr<ProgramCache> programs_;
    RenderTarget target_;
    GLuint vertexArray_ = 0;
    GLuint constantsBuffer_ = 0;
    Constants constants_{};
    bool constantsKnown_ = false;
    std::array<GLuint, kStages> samplers_{};
    std::array<SamplerParameters, kStages> samplerParameters_{};
    VertexInput vertexInput_;
    bool vertexInputKnown_ = false;
    bool filtering_ = true;
    std::vector<std::uint32_t> filteredIndices_;
    GLuint filteredBuffer_ = 0;

    FrameStatistics statistics_;
    std::uint32_t drawsThisFrame_ = 0;
    std::uint32_t compiledBeforeFrame_ = 0;
};

}  // namespace gl
