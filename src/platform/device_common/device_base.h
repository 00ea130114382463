#pragma once
// The front end every device of ours shares: its creation record, the scene brackets, the state
// calls, and every argument check of the API surface. A call reaches the device behind it (the
// protected hooks below) only once its arguments are known good, so that the devices accept and
// refuse the same calls with the same result codes; behind the checks, a device may assert.
// State calls only record into the API state and read back exactly what was recorded.

#include <cstdint>
#include <memory>

#include "platform/device_common/api_state.h"
#include "platform/device_common/buffers.h"
#include "platform/device_common/com_object.h"
#include "platform/device_common/texture_base.h"
#include "platform/device_common/vertex_layout.h"

namespace device_common {

// The largest draw the devices accept (their capabilities say so): larger counts would overflow
// the vertex and index arithmetic behind the checks.
constexpr UINT kMaxPrimitiveCount = 0xFFFFF;

// A draw that passed every check: all it reads lies inside the bound buffers, inside a scene,
// with a vertex format the devices draw and a stride that holds it.
struct DrawRequest {
    D3DPRIMITIVETYPE type;
    UINT primitiveCount;
    UINT elementCount;  // vertices of a plain draw, indices of an indexed one
    VertexLayout layout;
    const VertexBufferBase* vertices;  // stream 0
    UINT streamOffset;
    UINT stride;
    const IndexBufferBase* indices;  // null for a plain draw
    // A plain draw reads vertices firstVertex onwards. An indexed one adds firstVertex (its base
    // vertex index, which may be negative) to every index, and declares that the indices name
    // vertices minVertexIndex to minVertexIndex + vertexCount - 1; other triangles are dropped.
    std::int64_t firstVertex;
    UINT minVertexIndex;
    UINT vertexCount;
    UINT startIndex;

    // Where the first vertex the draw may read lies in the vertex buffer.
    std::uint64_t FirstVertexByte() const {
        const std::int64_t first = firstVertex + (indices != nullptr ? minVertexIndex : 0);
        return streamOffset + static_cast<std::uint64_t>(first) * stride;
    }
};

class DeviceBase : public RefCounted<IDirect3DDevice9> {
public:
    ~DeviceBase() override;

    HRESULT QueryInterface(REFIID iid, void** out) override;
    HRESULT GetDirect3D(IDirect3D9** d3d) override;
    HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) override;
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) override;
    HRESULT Present(const RECT* source, const RECT* dest, HWND destWindow, const void* dirtyRegion) override;

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                               HANDLE* sharedHandle) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool, IDirect3DIndexBuffer9** buffer,
                              HANDLE* sharedHandle) override;
    HRESULT UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination) override;

    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT GetMaterial(D3DMATERIAL9* material) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
    HRESULT GetLight(DWORD index, D3DLIGHT9* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;

    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex, UINT numVertices,
                                 UINT startIndex, UINT primitiveCount) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT GetFVF(DWORD* fvf) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
    HRESULT GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset, UINT* stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* indices) override;
    HRESULT GetIndices(IDirect3DIndexBuffer9** indices) override;

protected:
    // `width` and `height` are the back buffer's, already resolved from the parameters; the state
    // starts at the API's defaults for it. Holds a reference to the adapter.
    DeviceBase(IDirect3D9* adapter, D3DDEVTYPE type, HWND window, DWORD behaviorFlags,
               const D3DPRESENT_PARAMETERS& parameters, UINT width, UINT height);

    // ---- What each device does behind the checks ----
    virtual void FillCaps(D3DCAPS9& caps) = 0;
    // Whether textures of `format` can be made and sampled here.
    virtual bool SupportsTextureFormat(D3DFORMAT format) = 0;
    // The new resources, or null without memory. Textures' arguments passed CheckTextureShape.
    virtual TextureBase* MakeTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                     D3DPOOL pool) = 0;
    virtual VertexBufferBase* MakeVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool) = 0;
    virtual IndexBufferBase* MakeIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool) = 0;
    // A clear of targets the back buffer has, z in [0, 1], rects non-null when counted.
    virtual HRESULT ClearTargets(DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z,
                                 DWORD stencil) = 0;
    // Shows the frame in `window`: the device window unless the call named another, null when
    // there is none (the frame then stays readable, and nothing is shown).
    virtual HRESULT PresentFrame(HWND window) = 0;
    virtual HRESULT SubmitDraw(const DrawRequest& draw) = 0;

    // For the resources this device makes.
    const std::shared_ptr<DeviceLink>& Link() const { return link_; }
    // Gives back the references the bindings hold, then cuts the resources still alive off
    // from this device; a device calls it while it is still whole, before it goes.
    void ReleaseBindingsAndDetach();

    IDirect3D9* adapter_;
    D3DDEVTYPE type_;
    HWND window_;
    DWORD behaviorFlags_;
    D3DPRESENT_PARAMETERS parameters_;  // with the resolved back buffer size
    ApiState state_;
    bool inScene_ = false;

private:
    // The last checks every draw passes, then the device's own SubmitDraw.
    HRESULT CheckAndSubmit(DrawRequest& draw);

    std::shared_ptr<DeviceLink> link_;
};

}  // namespace device_common
