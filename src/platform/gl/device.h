#pragma once
// The hardware device: the shared front end, and an OpenGL context that draws what it records.
// State calls only record; a draw turns the state that matters into GL state, applied by
// difference, and a generated program found by the state's key. Single-threaded, like the scene.

#include <array>
#include <memory>
#include <string>

#include "platform/device_common/device_base.h"
#include "platform/gl/constants.h"
#include "platform/gl/context.h"
#include "platform/gl/fixed_state.h"
#include "platform/gl/gl_info.h"
#include "platform/gl/program_cache.h"
#include "platform/gl/readback.h"
#include "platform/gl/render_target.h"
#include "platform/gl/state_cache.h"

namespace gl {

class VertexBuffer;
class IndexBuffer;

class Device final : public device_common::DeviceBase {
public:
    // Makes the device with its context and GL objects; on failure says why on standard error
    // and returns D3DERR_NOTAVAILABLE. `width` and `height` are the resolved back buffer size.
    static HRESULT Create(IDirect3D9* adapter, HWND window, DWORD behaviorFlags,
                          const D3DPRESENT_PARAMETERS& parameters, UINT width, UINT height, IDirect3DDevice9** device);
    ~Device() override;

    // For resources going away while the device lives.
    void DeleteBuffer(GLuint buffer);
    void DeleteTexture(GLuint texture);

    // For tests and tools (readback.h).
    bool ReadColour(std::vector<std::uint32_t>& bgra);
    bool ReadDepth(std::vector<std::uint32_t>& depth);
    const FrameStatistics& Statistics() const { return statistics_; }
    // The GL renderer and version the device draws with.
    std::string Renderer() const { return "\"" + info_.renderer + "\" (OpenGL " + info_.version + ")"; }
    void SetStateFiltering(bool filtering);

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

    // Issues the draw with its own indices, or with those filteredIndices_ holds when `filtered`.
    HRESULT Issue(const device_common::DrawRequest& draw, bool filtered);
    // Keeps the triangles whose indices lie in the declared range, in filteredIndices_.
    void FilterIndices(const device_common::DrawRequest& draw);
    void BindFilteredIndices();
    // Marks the end of the frame just presented, and waits until the one before it is drawn.
    void PaceFrames();
    // Updates the statistics at the end of a presented frame.
    void CountFrame();
    bool ApplyProgram(const device_common::VertexLayout& layout, const bool textured[kStages]);
    void ApplyFixedState();
    void ApplyConstants();
    // Writes `fresh` into the block's buffer when it differs from `held`, which it then becomes.
    template <typename Block>
    void UploadBlock(unsigned binding, const Block& fresh, Block& held);
    void ApplyTextures(const bool textured[kStages]);
    // Brings sampler object `stage` to the stage's sampler states: what changed, or everything.
    void UpdateSampler(DWORD stage, bool everything);
    void ApplyVertexInput(const device_common::VertexLayout& layout);

    std::unique_ptr<Context> context_;
    GlInfo info_;
    std::unique_ptr<StateCache> cache_;
    std::unique_ptr<ProgramCache> programs_;
    RenderTarget target_;
    GLuint vertexArray_ = 0;
    // One buffer per constant block, made once and written in place when its values change.
    std::array<GLuint, 2> constantBuffers_{};
    Constants constants_{};
    bool constantsKnown_ = false;
    std::array<GLuint, kStages> samplers_{};
    std::array<SamplerParameters, kStages> samplerParameters_{};
    VertexInput vertexInput_;
    bool vertexInputKnown_ = false;
    bool filtering_ = true;
    std::vector<std::uint32_t> filteredIndices_;
    GLuint filteredBuffer_ = 0;

    // Set when the last frame was presented: the next Present waits for it, so that the driver
    // works on one frame while the scene records the next, and no more frames than that queue up.
    GLsync previousFrame_ = nullptr;

    FrameStatistics statistics_;
    std::uint32_t drawsThisFrame_ = 0;
    std::uint32_t compiledBeforeFrame_ = 0;
};

}  // namespace gl
