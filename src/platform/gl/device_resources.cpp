// Resource creation and the one copy between resources the API offers. The checks are the
// reference device's; GL objects are made when a draw first needs them.
#include <new>

#include "platform/gl/buffers.h"
#include "platform/gl/device.h"
#include "platform/gl/texture.h"

namespace gl {
namespace {

bool PoolIsValid(D3DPOOL pool) { return pool <= D3DPOOL_SCRATCH; }

}  // namespace

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DTexture9** texture, HANDLE* sharedHandle) {
    if (texture == nullptr || sharedHandle != nullptr) return D3DERR_INVALIDCALL;
    // Render targets and depth textures are not offered: the device draws only into its back buffer.
    if ((usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) != 0) return D3DERR_INVALIDCALL;
    if ((usage & D3DUSAGE_DYNAMIC) != 0 && pool == D3DPOOL_MANAGED) return D3DERR_INVALIDCALL;
    const HRESULT check = Texture::CheckTextureArguments(info_, width, height, levels, format, pool);
    if (FAILED(check)) return check;
    auto* created = new (std::nothrow) Texture(link_, width, height, levels, usage, format, pool);
    if (created == nullptr) return E_OUTOFMEMORY;
    *texture = created;
    return D3D_OK;
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                                   HANDLE* sharedHandle) {
    if (buffer == nullptr || sharedHandle != nullptr || length == 0 || !PoolIsValid(pool)) return D3DERR_INVALIDCALL;
    auto* created = new (std::nothrow) VertexBuffer(link_, length, usage, fvf, pool);
    if (created == nullptr) return E_OUTOFMEMORY;
    *buffer = created;
    return D3D_OK;
}

HRESULT Device::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle) {
    if (buffer == nullptr || sharedHandle != nullptr || length == 0 || !PoolIsValid(pool)) return D3DERR_INVALIDCALL;
    if (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32) return D3DERR_INVALIDCALL;
    auto* created = new (std::nothrow) IndexBuffer(link_, length, usage, format, pool);
    if (created == nullptr) return E_OUTOFMEMORY;
    *buffer = created;
    return D3D_OK;
}

HRESULT Device::UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination) {
    auto* from = dynamic_cast<Texture*>(source);
    auto* to = dynamic_cast<Texture*>(destination);
    if (from == nullptr || to == nullptr || !from->BelongsTo(this) || !to->BelongsTo(this)) return D3DERR_INVALIDCALL;
    if (from->Pool() != D3DPOOL_SYSTEMMEM || to->Pool() != D3DPOOL_DEFAULT) return D3DERR_INVALIDCALL;
    return to->CopyLevelsFrom(*from);
}

}  // namespace gl
