#include "platform/gl/buffers.h"

#include <algorithm>
#include <cstring>

#include "platform/gl/device.h"

namespace gl {

HRESULT BufferStore::Lock(UINT offset, UINT size, DWORD flags, void** data) {
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

HRESULT BufferStore::Unlock() {
    if (lockDepth_ == 0) return D3DERR_INVALIDCALL;
    --lockDepth_;
    // A draw made while the buffer was locked took the bytes of that moment; what was written
    // after it must travel too.
    if (lockEnd_ > lockBegin_) MarkWritten(lockBegin_, lockEnd_);
    lockBegin_ = lockEnd_ = 0;
    return D3D_OK;
}

void BufferStore::MarkWritten(UINT begin, UINT end) {
    ++version_;
    if (dirtyEnd_ <= dirtyBegin_) {
        dirtyBegin_ = begin;
        dirtyEnd_ = end;
    } else {
        dirtyBegin_ = std::min(dirtyBegin_, begin);
        dirtyEnd_ = std::max(dirtyEnd_, end);
    }
}

GLuint BufferStore::Sync(Functions& gl, StateCache& cache, GLenum target) {
    if (name_ == 0) {
        gl.GenBuffers(1, &name_);
        cache.BindBuffer(target, name_);
        gl.BufferData(target, static_cast<GLsizeiptr>(bytes_.size()), bytes_.data(),
                      dynamic_ ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
        dirtyBegin_ = dirtyEnd_ = 0;
        return name_;
    }
    cache.BindBuffer(target, name_);
    if (dirtyEnd_ > dirtyBegin_) {
        gl.BufferSubData(target, dirtyBegin_, dirtyEnd_ - dirtyBegin_, bytes_.data() + dirtyBegin_);
        dirtyBegin_ = dirtyEnd_ = 0;
    }
    return name_;
}

// ---- Vertex buffer ---------------------------------------------------------------------------

VertexBuffer::~VertexBuffer() {
    if (Device* device = OwningDevice()) device->DeleteBuffer(store_.Name());
}

HRESULT VertexBuffer::QueryInterface(REFIID iid, void** out) {
    return AnswerQuery(iid, out, {&IID_IUnknown, &IID_IDirect3DResource9, &IID_IDirect3DVertexBuffer9});
}

HRESULT VertexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags) {
    return store_.Lock(offset, size, flags, data);
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
    if (desc == nullptr) return D3DERR_INVALIDCALL;
    *desc = {D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, Usage(), Pool(), store_.Length(), fvf_};
    return D3D_OK;
}

// ---- Index buffer ----------------------------------------------------------------------------

IndexBuffer::~IndexBuffer() {
    if (Device* device = OwningDevice()) device->DeleteBuffer(store_.Name());
}

HRESULT IndexBuffer::QueryInterface(REFIID iid, void** out) {
    return AnswerQuery(iid, out, {&IID_IUnknown, &IID_IDirect3DResource9, &IID_IDirect3DIndexBuffer9});
}

HRESULT IndexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags) {
    return store_.Lock(offset, size, flags, data);
}

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc) {
    if (desc == nullptr) return D3DERR_INVALIDCALL;
    *desc = {format_, D3DRTYPE_INDEXBUFFER, Usage(), Pool(), store_.Length()};
    return D3D_OK;
}

void IndexBuffer::IndexBounds(UINT first, UINT count, std::uint32_t& lowest, std::uint32_t& highest) {
    if (bounds_.version != store_.Version() || bounds_.first != first || bounds_.count != count) {
        std::uint32_t low = 0xFFFFFFFFu, high = 0;
        const std::uint8_t* bytes = store_.Data() + static_cast<std::size_t>(first) * IndexSize();
        for (UINT i = 0; i < count; ++i) {
            std::uint32_t value;
            if (IndexSize() == 2) {
                std::uint16_t v16;
                std::memcpy(&v16, bytes + 2 * static_cast<std::size_t>(i), 2);
                value = v16;
            } else {
                std::memcpy(&value, bytes + 4 * static_cast<std::size_t>(i), 4);
            }
            low = std::min(low, value);
            high = std::max(high, value);
        }
        bounds_ = Bounds{store_.Version(), first, count, low, high};
    }
    lowest = bounds_.lowest;
    highest = bounds_.highest;
}

}  // namespace gl
