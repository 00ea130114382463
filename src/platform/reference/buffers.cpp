#include "platform/reference/buffers.h"

namespace reference {

HRESULT ByteStore::Lock(UINT offset, UINT size, void** data) {
    if (data == nullptr) return D3DERR_INVALIDCALL;
    // A size of zero locks from the offset to the end, as the API defines it.
    if (offset > bytes_.size() || (size != 0 && size > bytes_.size() - offset)) return D3DERR_INVALIDCALL;
    *data = bytes_.data() + offset;
    ++lockDepth_;
    return D3D_OK;
}

HRESULT ByteStore::Unlock() {
    if (lockDepth_ == 0) return D3DERR_INVALIDCALL;
    --lockDepth_;
    return D3D_OK;
}

HRESULT VertexBuffer::QueryInterface(REFIID iid, void** out) {
    return AnswerQuery(iid, out, {&IID_IUnknown, &IID_IDirect3DResource9, &IID_IDirect3DVertexBuffer9});
}

HRESULT VertexBuffer::Lock(UINT offset, UINT size, void** data, DWORD) { return store_.Lock(offset, size, data); }

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
    if (desc == nullptr) return D3DERR_INVALIDCALL;
    *desc = {D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, Usage(), Pool(), store_.Length(), fvf_};
    return D3D_OK;
}

HRESULT IndexBuffer::QueryInterface(REFIID iid, void** out) {
    return AnswerQuery(iid, out, {&IID_IUnknown, &IID_IDirect3DResource9, &IID_IDirect3DIndexBuffer9});
}

HRESULT IndexBuffer::Lock(UINT offset, UINT size, void** data, DWORD) { return store_.Lock(offset, size, data); }

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc) {
    if (desc == nullptr) return D3DERR_INVALIDCALL;
    *desc = {format_, D3DRTYPE_INDEXBUFFER, Usage(), Pool(), store_.Length()};
    return D3D_OK;
}

}  // namespace reference
