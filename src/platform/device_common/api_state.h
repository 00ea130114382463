#pragma once
// Everything the application sets on the device and can read back, with the defaults that the
// API documents. Draws copy what they need from here; nothing in the pixel path reads it.

#include <array>
#include <vector>

#include "platform/d3d9/d3d9_api.h"

namespace device_common {

// Texture stages and samplers that the API accepts states for. Only the first two are drawn
// with (the capabilities say so); the others keep what is set so that it can be read back.
constexpr DWORD kStageCount = 8;
constexpr DWORD kDrawnStages = 2;
constexpr DWORD kSamplerCount = 16;
constexpr DWORD kStreamCount = 16;
constexpr DWORD kWorldMatrixCount = 256;
// Light indices are sparse in the API; this bounds what a stray index can make us allocate.
constexpr DWORD kMaxLightIndex = 4096;

struct LightSlot {
    D3DLIGHT9 light;
    bool enabled;
};

struct StreamBinding {
    IDirect3DVertexBuffer9* buffer;
    UINT offset;
    UINT stride;
};

struct ApiState {
    std::array<DWORD, D3DRS_COUNT> render{};
    std::array<std::array<DWORD, D3DTSS_COUNT>, kStageCount> stage{};
    std::array<std::array<DWORD, D3DSAMP_COUNT>, kSamplerCount> sampler{};
    std::array<D3DMATRIX, kWorldMatrixCount> world{};
    D3DMATRIX view{};
    D3DMATRIX projection{};
    std::array<D3DMATRIX, kStageCount> textureMatrix{};
    D3DMATERIAL9 material{};
    std::vector<LightSlot> lights;
    D3DVIEWPORT9 viewport{};
    DWORD fvf = 0;

    // Bound resources; each holds one reference owned by the device.
    std::array<StreamBinding, kStreamCount> streams{};
    IDirect3DIndexBuffer9* indices = nullptr;
    std::array<IDirect3DBaseTexture9*, kStageCount> textures{};
};

// Fills `state` with the documented defaults for a device whose back buffer is
// width x height and which has (or lacks) an automatic depth buffer.
void ResetToDefaults(ApiState& state, UINT width, UINT height, bool autoDepth);

D3DMATRIX IdentityMatrix();

}  // namespace device_common
