// The calls that reach a device's own work: resources, clears, presentation and draws. Each is
// checked here, once for both devices, before the device sees it.
#include <new>

#include "platform/device_common/device_base.h"
#include "platform/device_common/primitives.h"

namespace device_common {
namespace {

// Hands a new object out, or E_OUTOFMEMORY when it could not be made.
template <class Object, class Interface>
HRESULT HandOut(Object* created, Interface** out) {
    if (created == nullptr) return E_OUTOFMEMORY;
    *out = created;
    return D3D_OK;
}

bool IsPool(D3DPOOL pool) { return pool <= D3DPOOL_SCRATCH; }

}  // namespace

HRESULT DeviceBase::GetDeviceCaps(D3DCAPS9* caps) {
    if (caps == nullptr) return D3DERR_INVALIDCALL;
    FillCaps(*caps);
    return D3D_OK;
}

HRESULT DeviceBase::Present(const RECT*, const RECT*, HWND destWindow, const void*) {
    if (inScene_) return D3DERR_INVALIDCALL;
    return PresentFrame(destWindow != nullptr ? destWindow : window_);
}

HRESULT DeviceBase::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DTexture9** texture, HANDLE* sharedHandle) {
    if (texture == nullptr || sharedHandle != nullptr) return D3DERR_INVALIDCALL;
    // Render targets and depth textures are not offered: the devices draw only into their back buffers.
    if ((usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) != 0) return D3DERR_INVALIDCALL;
    if ((usage & D3DUSAGE_DYNAMIC) != 0 && pool == D3DPOOL_MANAGED) return D3DERR_INVALIDCALL;
    if (!SupportsTextureFormat(format)) return D3DERR_INVALIDCALL;
    const HRESULT shape = CheckTextureShape(width, height, levels, pool);
    if (FAILED(shape)) return shape;
    TextureBase* created = MakeTexture(width, height, levels, usage, format, pool);
    if (created != nullptr && !created->HasStorage()) {
        created->Release();
        created = nullptr;
    }
    return HandOut(created, texture);
}

HRESULT DeviceBase::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer9** buffer, HANDLE* sharedHandle) {
    if (buffer == nullptr || sharedHandle != nullptr || length == 0 || !IsPool(pool)) return D3DERR_INVALIDCALL;
    return HandOut(MakeVertexBuffer(length, usage, fvf, pool), buffer);
}

HRESULT DeviceBase::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle) {
    if (buffer == nullptr || sharedHandle != nullptr || length == 0 || !IsPool(pool)) return D3DERR_INVALIDCALL;
    if (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32) return D3DERR_INVALIDCALL;
    return HandOut(MakeIndexBuffer(length, usage, format, pool), buffer);
}

HRESULT DeviceBase::UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination) {
    // Both textures must be this device's own: another device's bytes live where this one cannot copy from.
    auto* from = dynamic_cast<TextureBase*>(OwnedBy(this, source));
    auto* to = dynamic_cast<TextureBase*>(OwnedBy(this, destination));
    if (from == nullptr || to == nullptr) return D3DERR_INVALIDCALL;
    // From system memory into the default pool only.
    if (from->Pool() != D3DPOOL_SYSTEMMEM || to->Pool() != D3DPOOL_DEFAULT) return D3DERR_INVALIDCALL;
    return to->CopyLevelsFrom(*from);
}

HRESULT DeviceBase::Clear(DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) {
    if (rectCount != 0 && rects == nullptr) return D3DERR_INVALIDCALL;
    if ((flags & (D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) == 0) return D3DERR_INVALIDCALL;
    // Depth and stencil can only be cleared when there is a depth buffer.
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0 && !parameters_.EnableAutoDepthStencil)
        return D3DERR_INVALIDCALL;
    // Written so that a NaN depth is refused too.
    if (!(z >= 0.0f && z <= 1.0f)) return D3DERR_INVALIDCALL;
    return ClearTargets(rectCount, rects, flags, color, z, stencil);
}

HRESULT DeviceBase::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    if (ElementCount(type, 1) == 0 || primitiveCount > kMaxPrimitiveCount) return D3DERR_INVALIDCALL;
    if (primitiveCount == 0) return D3D_OK;
    const StreamBinding& stream = state_.streams[0];
    const auto* buffer = static_cast<const VertexBufferBase*>(stream.buffer);
    if (buffer == nullptr || stream.stride == 0) return D3DERR_INVALIDCALL;
    const std::uint64_t count = ElementCount(type, primitiveCount);
    const std::uint64_t end = stream.offset + (static_cast<std::uint64_t>(startVertex) + count) * stream.stride;
    if (end > buffer->Store().Length()) return D3DERR_INVALIDCALL;
    DrawRequest draw{type,
                     primitiveCount,
                     static_cast<UINT>(count),
                     {},
                     buffer,
                     stream.offset,
                     stream.stride,
                     nullptr,
                     startVertex,
                     0,
                     static_cast<UINT>(count),
                     0};
    return CheckAndSubmit(draw);
}

HRESULT DeviceBase::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex,
                                         UINT numVertices, UINT startIndex, UINT primitiveCount) {
    if (ElementCount(type, 1) == 0 || primitiveCount > kMaxPrimitiveCount) return D3DERR_INVALIDCALL;
    if (primitiveCount == 0 || numVertices == 0) return D3D_OK;
    const auto* indices = static_cast<const IndexBufferBase*>(state_.indices);
    const StreamBinding& stream = state_.streams[0];
    const auto* buffer = static_cast<const VertexBufferBase*>(stream.buffer);
    if (indices == nullptr || buffer == nullptr || stream.stride == 0) return D3DERR_INVALIDCALL;
    const std::uint64_t count = ElementCount(type, primitiveCount);
    if ((startIndex + count) * indices->IndexSize() > indices->Store().Length()) return D3DERR_INVALIDCALL;
    const std::int64_t firstVertex = static_cast<std::int64_t>(baseVertexIndex) + minVertexIndex;
    if (firstVertex < 0) return D3DERR_INVALIDCALL;
    const std::uint64_t end = stream.offset + (static_cast<std::uint64_t>(firstVertex) + numVertices) * stream.stride;
    if (end > buffer->Store().Length()) return D3DERR_INVALIDCALL;
    DrawRequest draw{
        type,    primitiveCount,  static_cast<UINT>(count), {},          buffer,    stream.offset, stream.stride,
        indices, baseVertexIndex, minVertexIndex,           numVertices, startIndex};
    return CheckAndSubmit(draw);
}

HRESULT DeviceBase::CheckAndSubmit(DrawRequest& draw) {
    if (!inScene_) return D3DERR_INVALIDCALL;
    if (!DescribeVertices(state_.fvf, draw.layout) || draw.stride < draw.layout.size) return D3DERR_INVALIDCALL;
    return SubmitDraw(draw);
}

}  // namespace device_common
