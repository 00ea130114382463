#pragma once
// Devices for the texture-loading tests: the reference device reached as the viewer reaches it,
// and a wrapper around any device that offers fewer formats, other capabilities, counts the
// textures it hands out and can be told to fail, so that every choice and every failure path of
// the loader can be driven.

#include <functional>
#include <set>

#include "platform/d3d9/d3d9_api.h"

namespace testdevice {

// A headless window and a reference device on it, made through Direct3DCreate9.
class ReferenceDevice {
public:
    ReferenceDevice();
    ~ReferenceDevice();
    ReferenceDevice(const ReferenceDevice&) = delete;
    ReferenceDevice& operator=(const ReferenceDevice&) = delete;
    IDirect3DDevice9* get() const { return device_; }

private:
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
};

struct Limits {
    // Formats the device accepts for textures; empty means whatever the wrapped device accepts.
    std::set<D3DFORMAT> formats;
    std::function<void(D3DCAPS9&)> adjustCaps;
    // Counting from 0, the call to fail with failure; -1 for none.
    int failCreateTexture = -1;
    int failSurfaceLevel = -1;
    bool failUpdateTexture = false;
    HRESULT failure = D3DERR_OUTOFVIDEOMEMORY;
};

inline Limits OfferOnly(std::set<D3DFORMAT> formats) {
    Limits limits;
    limits.formats = std::move(formats);
    return limits;
}

// Forwards everything to the wrapped device except what Limits changes. Lives on the caller's
// stack: its own reference count only counts.
class LimitedDevice final : public IDirect3DDevice9 {
public:
    LimitedDevice(IDirect3DDevice9* inner, Limits limits);
    ~LimitedDevice() override;

    int liveTextures = 0;
    int createTextureCalls = 0;
    int surfaceLevelCalls = 0;
    int updateTextureCalls = 0;
    const Limits& limits() const { return limits_; }
    IDirect3DDevice9* inner() const { return inner_; }

    HRESULT QueryInterface(REFIID iid, void** out) override { return inner_->QueryInterface(iid, out); }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override { return --references_; }

    HRESULT GetDirect3D(IDirect3D9** d3d) override;
    HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) override {
        return inner_->GetDisplayMode(swapChain, mode);
    }
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* p) override {
        return inner_->GetCreationParameters(p);
    }
    HRESULT Present(const RECT* s, const RECT* d, HWND w, const void* r) override {
        return inner_->Present(s, d, w, r);
    }
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, HANDLE* shared) override;
    HRESULT CreateVertexBuffer(UINT l, DWORD u, DWORD f, D3DPOOL p, IDirect3DVertexBuffer9** b, HANDLE* s) override {
        return inner_->CreateVertexBuffer(l, u, f, p, b, s);
    }
    HRESULT CreateIndexBuffer(UINT l, DWORD u, D3DFORMAT f, D3DPOOL p, IDirect3DIndexBuffer9** b, HANDLE* s) override {
        return inner_->CreateIndexBuffer(l, u, f, p, b, s);
    }
    HRESULT UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination) override;
    HRESULT BeginScene() override { return inner_->BeginScene(); }
    HRESULT EndScene() override { return inner_->EndScene(); }
    HRESULT Clear(DWORD n, const D3DRECT* r, DWORD f, D3DCOLOR c, float z, DWORD s) override {
        return inner_->Clear(n, r, f, c, z, s);
    }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE s, const D3DMATRIX* m) override { return inner_->SetTransform(s, m); }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE s, D3DMATRIX* m) override { return inner_->GetTransform(s, m); }
    HRESULT SetViewport(const D3DVIEWPORT9* v) override { return inner_->SetViewport(v); }
    HRESULT GetViewport(D3DVIEWPORT9* v) override { return inner_->GetViewport(v); }
    HRESULT SetMaterial(const D3DMATERIAL9* m) override { return inner_->SetMaterial(m); }
    HRESULT GetMaterial(D3DMATERIAL9* m) override { return inner_->GetMaterial(m); }
    HRESULT SetLight(DWORD i, const D3DLIGHT9* l) override { return inner_->SetLight(i, l); }
    HRESULT GetLight(DWORD i, D3DLIGHT9* l) override { return inner_->GetLight(i, l); }
    HRESULT LightEnable(DWORD i, BOOL e) override { return inner_->LightEnable(i, e); }
    HRESULT GetLightEnable(DWORD i, BOOL* e) override { return inner_->GetLightEnable(i, e); }
    HRESULT SetRenderState(D3DRENDERSTATETYPE s, DWORD v) override { return inner_->SetRenderState(s, v); }
    HRESULT GetRenderState(D3DRENDERSTATETYPE s, DWORD* v) override { return inner_->GetRenderState(s, v); }
    HRESULT GetTexture(DWORD s, IDirect3DBaseTexture9** t) override { return inner_->GetTexture(s, t); }
    HRESULT SetTexture(DWORD s, IDirect3DBaseTexture9* t) override { return inner_->SetTexture(s, t); }
    HRESULT GetTextureStageState(DWORD s, D3DTEXTURESTAGESTATETYPE t, DWORD* v) override {
        return inner_->GetTextureStageState(s, t, v);
    }
    HRESULT SetTextureStageState(DWORD s, D3DTEXTURESTAGESTATETYPE t, DWORD v) override {
        return inner_->SetTextureStageState(s, t, v);
    }
    HRESULT GetSamplerState(DWORD s, D3DSAMPLERSTATETYPE t, DWORD* v) override {
        return inner_->GetSamplerState(s, t, v);
    }
    HRESULT SetSamplerState(DWORD s, D3DSAMPLERSTATETYPE t, DWORD v) override {
        return inner_->SetSamplerState(s, t, v);
    }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE t, UINT s, UINT c) override { return inner_->DrawPrimitive(t, s, c); }
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE t, INT b, UINT m, UINT n, UINT s, UINT c) override {
        return inner_->DrawIndexedPrimitive(t, b, m, n, s, c);
    }
    HRESULT SetFVF(DWORD f) override { return inner_->SetFVF(f); }
    HRESULT GetFVF(DWORD* f) override { return inner_->GetFVF(f); }
    HRESULT SetStreamSource(UINT s, IDirect3DVertexBuffer9* b, UINT o, UINT st) override {
        return inner_->SetStreamSource(s, b, o, st);
    }
    HRESULT GetStreamSource(UINT s, IDirect3DVertexBuffer9** b, UINT* o, UINT* st) override {
        return inner_->GetStreamSource(s, b, o, st);
    }
    HRESULT SetIndices(IDirect3DIndexBuffer9* i) override { return inner_->SetIndices(i); }
    HRESULT GetIndices(IDirect3DIndexBuffer9** i) override { return inner_->GetIndices(i); }

private:
    IDirect3DDevice9* inner_;
    Limits limits_;
    ULONG references_ = 1;
};

// The wrapped texture behind a texture that LimitedDevice handed out (the texture itself for any
// other).
IDirect3DTexture9* Unwrap(IDirect3DTexture9* texture);

}  // namespace testdevice
