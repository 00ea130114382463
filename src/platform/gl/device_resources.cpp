// Resource creation and the one copy between resources the API offers. The checks are the
// reference device's; GL objects are made when a draw first needs them.
#include <new>

#include "platform/gl/buffers.h"
#include "platform/gl/device.h"
#include "platform/gl/texture.h"

namespace gl {

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DTexture9** texture, HANDLE* sharedHandle) {
    HRESULT check = CheckTextureRequest(texture, sharedHandle, usage, pool);
    if (SUCCEEDED(check)) check = Texture::CheckTextureArguments(info_, width, height, levels, format, pool);
    if (FAILED(check)) return check;
    return HandOut(new (std::nothrow) Texture(link_, width, height, levels, usage, format, pool), texture);
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                                   HANDLE* sharedHandle) {
    const HRESULT check = CheckBufferRequest(buffer, sharedHandle, length, pool);
    if (FAILED(check)) return check;
    return HandOut(new (std::nothrow) VertexBuffer(link_, length, usage, fvf, pool), buffer);
}

HRESULT Device::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle) {
    HRESULT check = CheckBufferRequest(buffer, sharedHandle, length, pool);
    if (SUCCEEDED(check)) check = CheckIndexFormat(format);
    if (FAILED(check)) return check;
    return HandOut(new (std::nothrow) IndexBuffer(link_, length, usage, format, pool), buffer);
}

HRESULT Device::UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination) {
    auto* from = dynamic_cast<Texture*>(source);
    auto* to = dynamic_cast<Texture*>(destination);
    if (from == nullptr || to == nullptr || !from->BelongsTo(this) || !to->BelongsTo(this)) return D3DERR_INVALIDCALL;
    const HRESULT check = CheckUpdatePools(from->Pool(), to->Pool());
    return FAILED(check) ? check : to->CopyLevelsFrom(*from);
}

}  // namespace gl
