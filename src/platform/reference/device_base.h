#pragma once
// What every device of ours shares: its creation record, the scene brackets, and the state calls,
// which only record into the API state and read back exactly what was recorded, so that the
// devices accept and refuse the same calls. Each device adds its capabilities, resources, draws
// and presentation, and says which resources it can bind.

#include "platform/reference/api_state.h"
#include "platform/reference/com_object.h"

namespace reference {

class DeviceBase : public RefCounted<IDirect3DDevice9> {
public:
    ~DeviceBase() override;

    HRESULT QueryInterface(REFIID iid, void** out) override;
    HRESULT GetDirect3D(IDirect3D9** d3d) override;
    HRESULT GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) override;
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;

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

    // Whether a resource may be bound here: of this device's own kind and, for a texture, in a
    // pool the device samples from.
    virtual bool CanBindTexture(IDirect3DBaseTexture9* texture) = 0;
    virtual bool CanBindVertexBuffer(IDirect3DVertexBuffer9* buffer) = 0;
    virtual bool CanBindIndexBuffer(IDirect3DIndexBuffer9* indices) = 0;

    // Gives back the references the bindings hold (before the device goes).
    void ReleaseBindings();

    // The argument checks every device makes before it creates a resource.
    static HRESULT CheckTextureRequest(IDirect3DTexture9** texture, HANDLE* sharedHandle, DWORD usage, D3DPOOL pool);
    static HRESULT CheckBufferRequest(const void* buffer, HANDLE* sharedHandle, UINT length, D3DPOOL pool);
    static HRESULT CheckIndexFormat(D3DFORMAT format);
    // UpdateTexture copies from system memory into the default pool only.
    static HRESULT CheckUpdatePools(D3DPOOL source, D3DPOOL destination);

    // Hands a new object out, or E_OUTOFMEMORY when it could not be made.
    template <class Object, class Interface>
    static HRESULT HandOut(Object* created, Interface** out) {
        if (created == nullptr) return E_OUTOFMEMORY;
        *out = created;
        return D3D_OK;
    }

    IDirect3D9* adapter_;
    D3DDEVTYPE type_;
    HWND window_;
    DWORD behaviorFlags_;
    D3DPRESENT_PARAMETERS parameters_;  // with the resolved back buffer size
    ApiState state_;
    bool inScene_ = false;
};

}  // namespace reference
