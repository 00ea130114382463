#pragma once
// A device whose buffer creation or locking fails on demand: the failures the reference device
// cannot be made to produce. Nothing else of it is used; it counts draws so that a test sees
// whether anything was drawn.

#include <memory>
#include <vector>

#include "platform/d3d9/d3d9_api.h"

namespace terrain_test {

template <typename Interface, typename Description>
class FailingBuffer final : public Interface {
public:
    FailingBuffer(UINT length, bool lockFails) : bytes_(length), lockFails_(lockFails) {}
    ULONG references = 1;

    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }  // the device keeps the storage
    HRESULT GetDevice(IDirect3DDevice9**) override { return E_NOTIMPL; }
    DWORD SetPriority(DWORD) override { return 0; }
    DWORD GetPriority() override { return 0; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return 0; }
    HRESULT Lock(UINT, UINT, void** data, DWORD) override {
        if (lockFails_) return D3DERR_INVALIDCALL;
        *data = bytes_.data();
        return D3D_OK;
    }
    HRESULT Unlock() override { return D3D_OK; }
    HRESULT GetDesc(Description*) override { return E_NOTIMPL; }

private:
    std::vector<BYTE> bytes_;
    bool lockFails_;
};
using FailingVertexBuffer = FailingBuffer<IDirect3DVertexBuffer9, D3DVERTEXBUFFER_DESC>;
using FailingIndexBuffer = FailingBuffer<IDirect3DIndexBuffer9, D3DINDEXBUFFER_DESC>;

struct Failures {
    bool createVertexBuffer = false;
    bool lockVertexBuffer = false;
    bool createIndexBuffer = false;
    bool lockIndexBuffer = false;
};

class FailingDevice final : public IDirect3DDevice9 {
public:
    Failures failures;
    std::vector<std::unique_ptr<FailingVertexBuffer>> vertexBuffers;
    std::vector<std::unique_ptr<FailingIndexBuffer>> indexBuffers;
    int draws = 0;

    HRESULT CreateVertexBuffer(UINT length, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer9** buffer, HANDLE*) override {
        if (failures.createVertexBuffer) return D3DERR_OUTOFVIDEOMEMORY;
        vertexBuffers.push_back(std::make_unique<FailingVertexBuffer>(length, failures.lockVertexBuffer));
        *buffer = vertexBuffers.back().get();
        return D3D_OK;
    }
    HRESULT CreateIndexBuffer(UINT length, DWORD, D3DFORMAT, D3DPOOL, IDirect3DIndexBuffer9** buffer,
                              HANDLE*) override {
        if (failures.createIndexBuffer) return D3DERR_OUTOFVIDEOMEMORY;
        indexBuffers.push_back(std::make_unique<FailingIndexBuffer>(length, failures.lockIndexBuffer));
        *buffer = indexBuffers.back().get();
        return D3D_OK;
    }
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE, INT, UINT, UINT, UINT, UINT) override { return ++draws, D3D_OK; }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE, UINT, UINT) override { return ++draws, D3D_OK; }

    // Not used by these tests.
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetDirect3D(IDirect3D9**) override { return E_NOTIMPL; }
    HRESULT GetDeviceCaps(D3DCAPS9*) override { return E_NOTIMPL; }
    HRESULT GetDisplayMode(UINT, D3DDISPLAYMODE*) override { return E_NOTIMPL; }
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS*) override { return E_NOTIMPL; }
    HRESULT Present(const RECT*, const RECT*, HWND, const void*) override { return E_NOTIMPL; }
    HRESULT CreateTexture(UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DTexture9**, HANDLE*) override {
        return E_NOTIMPL;
    }
    HRESULT UpdateTexture(IDirect3DBaseTexture9*, IDirect3DBaseTexture9*) override { return E_NOTIMPL; }
    HRESULT BeginScene() override { return E_NOTIMPL; }
    HRESULT EndScene() override { return E_NOTIMPL; }
    HRESULT Clear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override { return E_NOTIMPL; }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX*) override { return E_NOTIMPL; }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE, D3DMATRIX*) override { return E_NOTIMPL; }
    HRESULT SetViewport(const D3DVIEWPORT9*) override { return E_NOTIMPL; }
    HRESULT GetViewport(D3DVIEWPORT9*) override { return E_NOTIMPL; }
    HRESULT SetMaterial(const D3DMATERIAL9*) override { return E_NOTIMPL; }
    HRESULT GetMaterial(D3DMATERIAL9*) override { return E_NOTIMPL; }
    HRESULT SetLight(DWORD, const D3DLIGHT9*) override { return E_NOTIMPL; }
    HRESULT GetLight(DWORD, D3DLIGHT9*) override { return E_NOTIMPL; }
    HRESULT LightEnable(DWORD, BOOL) override { return E_NOTIMPL; }
    HRESULT GetLightEnable(DWORD, BOOL*) override { return E_NOTIMPL; }
    HRESULT SetRenderState(D3DRENDERSTATETYPE, DWORD) override { return E_NOTIMPL; }
    HRESULT GetRenderState(D3DRENDERSTATETYPE, DWORD*) override { return E_NOTIMPL; }
    HRESULT GetTexture(DWORD, IDirect3DBaseTexture9**) override { return E_NOTIMPL; }
    HRESULT SetTexture(DWORD, IDirect3DBaseTexture9*) override { return E_NOTIMPL; }
    HRESULT GetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD*) override { return E_NOTIMPL; }
    HRESULT SetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD) override { return E_NOTIMPL; }
    HRESULT GetSamplerState(DWORD, D3DSAMPLERSTATETYPE, DWORD*) override { return E_NOTIMPL; }
    HRESULT SetSamplerState(DWORD, D3DSAMPLERSTATETYPE, DWORD) override { return E_NOTIMPL; }
    HRESULT SetFVF(DWORD) override { return E_NOTIMPL; }
    HRESULT GetFVF(DWORD*) override { return E_NOTIMPL; }
    HRESULT SetStreamSource(UINT, IDirect3DVertexBuffer9*, UINT, UINT) override { return E_NOTIMPL; }
    HRESULT GetStreamSource(UINT, IDirect3DVertexBuffer9**, UINT*, UINT*) override { return E_NOTIMPL; }
    HRESULT SetIndices(IDirect3DIndexBuffer9*) override { return E_NOTIMPL; }
    HRESULT GetIndices(IDirect3DIndexBuffer9**) override { return E_NOTIMPL; }
};

}  // namespace terrain_test
