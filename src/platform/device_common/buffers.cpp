#include "platform/device_common/buffers.h"

#include <algorithm>
#include <cstring>

namespace device_common {

HRESULT ByteStore::Lock(UINT offset, UINT size, DWORD flags, void** data) {
    if (data == nullptr) return D3DERR_INVALIDCALL;
    // A size of zero locks from the offset to the end, as the API defines it.
    if (offset > bytes_.size() || (size != 0 && size > bytes_.size() - offset)) return D3DERR_INVALIDCALL;
    *data = bytes_.data() + offset;
    ++lockDepth_;
    if ((flags & D3DLOCK_READONLY) == 0) {
        lockBegin_ = offset;
        lockEnd_ = size == 0 ? Length() : offset + size;
        MarkWritten(lockBegin_, lockEnd_);
    }
    return D3D_OK;
}

HRESULT ByteStore::Unlock() {
    if (lockDepth_ == 0) return D3DERR_INVALIDCALL;
    --lockDepth_;
    // A draw made while the buffer was locked took the bytes of that moment; what was written
    // after it counts as written too.
    if (lockEnd_ > lockBegin_) MarkWritten(lockBegin_, lockEnd_);
    lockBegin_ = lockEnd_ = 0;
    return D3D_OK;
}

void ByteStore::MarkWritten(UINT begin, UINT end) {
    ++version_;
    if (writtenEnd_ <= writtenBegin_) {
        writtenBegin_ = begin;
        writtenEnd_ = end;
    } else {
        writtenBegin_ = std::min(writtenBegin_, begin);
        writtenEnd_ = std::max(writtenEnd_, end);
    }
}

void ByteStore::TakeWritten(UINT& begin, UINT& end) {
    begin = writtenBegin_;
    end = writtenEnd_;
    writtenBegin_ = writtenEnd_ = 0;
}

HRESULT VertexBufferBase::QueryInterface(REFIID iid, void** out) {
    return AnswerQuery(iid, out, {&IID_IUnknown, &IID_IDirect3DResource9, &IID_IDirect3DVertexBuffer9});
}

HRESULT VertexBufferBase::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
    if (desc == nullptr) return D3DERR_INVALIDCALL;
    *desc = {D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, Usage(), Pool(), Store().Length(), fvf_};
    return D3D_OK;
}

HRESULT IndexBufferBase::QueryInterface(REFIID iid, void** out) {
    return AnswerQuery(iid, out, {&IID_IUnknown, &IID_IDirect3DResource9, &IID_IDirect3DIndexBuffer9});
}

HRESULT IndexBufferBase::GetDesc(D3DINDEXBUFFER_DESC* desc) {
    if (desc == nullptr) return D3DERR_INVALIDCALL;
    *desc = {format_, D3DRTYPE_INDEXBUFFER, Usage(), Pool(), Store().Length()};
    return D3D_OK;
}

std::uint32_t IndexBufferBase::IndexAt(std::uint64_t k) const {
    const std::uint8_t* at = Store().Data() + k * IndexSize();
    if (IndexSize() == 2) {
        std::uint16_t value;
        std::memcpy(&value, at, 2);
        return value;
    }
    std::uint32_t value;
    std::memcpy(&value, at, 4);
    return value;
}

}  // namespace device_common
