#pragma once
// A device that keeps the state it is given and records every call, for the scene objects' call
// sequences and for the failures the real devices cannot be made to produce on demand (buffer
// creation and locks). Its buffers and textures only count references, so tests can check that
// everything handed out comes back.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/d3d9/d3d9_api.h"

namespace scene_test {

// The parts of the resource interface that nothing here uses.
template <class Interface>
class FakeResource : public Interface {
public:
    ULONG references = 1;

    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }  // storage stays with the device or the test
    HRESULT GetDevice(IDirect3DDevice9**) override { return E_NOTIMPL; }
    DWORD SetPriority(DWORD) override { return 0; }
    DWORD GetPriority() override { return 0; }
    void PreLoad() override {}
};

class FakeBuffer : public FakeResource<IDirect3DVertexBuffer9> {
public:
    FakeBuffer(UINT length, bool lockFails) : bytes(length, 0), lockFails_(lockFails) {}
    std::vector<BYTE> bytes;
    bool locked = false;

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC*) override { return E_NOTIMPL; }

private:
    bool lockFails_;
};

class FakeIndexBuffer : public FakeResource<IDirect3DIndexBuffer9> {
public:
    explicit FakeIndexBuffer(UINT length) : bytes(length, 0) {}
    std::vector<BYTE> bytes;

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override { return S_OK; }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC*) override { return E_NOTIMPL; }
};

class FakeTexture : public FakeResource<IDirect3DTexture9> {
public:
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD SetLOD(DWORD) override { return 0; }
    DWORD GetLOD() override { return 0; }
    DWORD GetLevelCount() override { return 1; }
    HRESULT GetLevelDesc(UINT, D3DSURFACE_DESC*) override { return E_NOTIMPL; }
    HRESULT GetSurfaceLevel(UINT, IDirect3DSurface9**) override { return E_NOTIMPL; }
    HRESULT LockRect(UINT, D3DLOCKED_RECT*, const RECT*, DWORD) override { return E_NOTIMPL; }
    HRESULT UnlockRect(UINT) override { return E_NOTIMPL; }
};

struct Failures {
    bool createVertexBuffer = false;
    bool lockVertexBuffer = false;
};

// What was in force when a draw was issued.
struct DrawSnapshot {
    std::string call;
    D3DMATRIX world;
    D3DMATERIAL9 material;
    IDirect3DBaseTexture9* stage0;
    IDirect3DBaseTexture9* stage1;
    std::map<DWORD, DWORD> renderStates;
};

class RecordingDevice : public IDirect3DDevice9 {
public:
    RecordingDevice();
    ~RecordingDevice() override;

    Failures failures;
    // Every state, texture, stream and draw call, in order, as "Name(arg,...)". Pointers appear
    // under the name given to Name(), "null", or "?" for one never named.
    std::vector<std::string> calls;
    std::vector<DrawSnapshot> draws;
    std::vector<std::unique_ptr<FakeBuffer>> vertexBuffers;
    std::vector<std::unique_ptr<FakeIndexBuffer>> indexBuffers;
    std::map<DWORD, DWORD> renderStates;  // starts with the device defaults the objects read
    D3DMATRIX world;
    D3DMATERIAL9 material{};
    IDirect3DBaseTexture9* textures[2] = {nullptr, nullptr};
    std::map<std::pair<DWORD, DWORD>, DWORD> samplerStates;

    void Name(const void* object, const std::string& name) { names_[object] = name; }
    std::string NameOf(const void* object) const;
    // The recorded calls whose text starts with `prefix`.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;

    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override { return --references_; }

    HRESULT GetDirect3D(IDirect3D9**) override { return E_NOTIMPL; }
    HRESULT GetDeviceCaps(D3DCAPS9*) override { return E_NOTIMPL; }
    HRESULT GetDisplayMode(UINT, D3DDISPLAYMODE*) override { return E_NOTIMPL; }
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS*) override { return E_NOTIMPL; }
    HRESULT Present(const RECT*, const RECT*, HWND, const void*) override { return E_NOTIMPL; }

    HRESULT CreateTexture(UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DTexture9**, HANDLE*) override {
        return E_NOTIMPL;
    }
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                               HANDLE* shared) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool, IDirect3DIndexBuffer9** buffer,
                              HANDLE* shared) override;
    HRESULT UpdateTexture(IDirect3DBaseTexture9*, IDirect3DBaseTexture9*) override { return E_NOTIMPL; }

    HRESULT BeginScene() override { return E_NOTIMPL; }
    HRESULT EndScene() override { return E_NOTIMPL; }
    HRESULT Clear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override { return E_NOTIMPL; }

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE, D3DMATRIX*) override { return E_NOTIMPL; }
    HRESULT SetViewport(const D3DVIEWPORT9*) override { return E_NOTIMPL; }
    HRESULT GetViewport(D3DVIEWPORT9*) override { return E_NOTIMPL; }
    HRESULT SetMaterial(const D3DMATERIAL9* m) override;
    HRESULT GetMaterial(D3DMATERIAL9*) override { return E_NOTIMPL; }
    HRESULT SetLight(DWORD, const D3DLIGHT9*) override { return E_NOTIMPL; }
    HRESULT GetLight(DWORD, D3DLIGHT9*) override { return E_NOTIMPL; }
    HRESULT LightEnable(DWORD, BOOL) override { return E_NOTIMPL; }
    HRESULT GetLightEnable(DWORD, BOOL*) override { return E_NOTIMPL; }
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT GetTexture(DWORD, IDirect3DBaseTexture9**) override { return E_NOTIMPL; }
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD*) override { return E_NOTIMPL; }
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD, D3DSAMPLERSTATETYPE, DWORD*) override { return E_NOTIMPL; }
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;

    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT start, UINT count) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT base, UINT minimum, UINT count, UINT start,
                                 UINT primitives) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT GetFVF(DWORD*) override { return E_NOTIMPL; }
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
    HRESULT GetStreamSource(UINT, IDirect3DVertexBuffer9**, UINT*, UINT*) override { return E_NOTIMPL; }
    HRESULT SetIndices(IDirect3DIndexBuffer9* indices) override;
    HRESULT GetIndices(IDirect3DIndexBuffer9**) override { return E_NOTIMPL; }

private:
    void Record(const std::string& name, std::initializer_list<std::string> arguments);
    void RecordDraw(const std::string& call);

    std::map<const void*, std::string> names_;
    ULONG references_ = 1;
};

// The text RecordingDevice records for a call with numeric arguments.
std::string Call(const std::string& name, std::initializer_list<DWORD> arguments);

D3DMATRIX Identity();
D3DMATRIX Translation(float x, float y, float z);

}  // namespace scene_test
