#pragma once
// A level of a texture, seen as a surface: every call goes to the texture that holds it, with the
// level's number. Its references are the texture's, so a surface lives exactly as long as its
// texture.

#include "platform/d3d9/d3d9_interfaces.h"

namespace device_common {

template <class TextureType>
class LevelSurface final : public IDirect3DSurface9 {
public:
    LevelSurface(TextureType& container, UINT level) : container_(container), level_(level) {}
    ~LevelSurface() override = default;

    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDirect3DResource9 || iid == IID_IDirect3DSurface9) {
            *out = static_cast<IDirect3DSurface9*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return container_.AddRef(); }
    ULONG Release() override { return container_.Release(); }
    HRESULT GetDevice(IDirect3DDevice9** device) override { return container_.GetDevice(device); }
    DWORD SetPriority(DWORD) override { return 0; }
    DWORD GetPriority() override { return 0; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT GetContainer(REFIID iid, void** container) override { return container_.QueryInterface(iid, container); }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override { return container_.GetLevelDesc(level_, desc); }
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override {
        return container_.LockRect(level_, locked, rect, flags);
    }
    HRESULT UnlockRect() override { return container_.UnlockRect(level_); }

private:
    TextureType& container_;
    UINT level_;
};

}  // namespace device_common
