#include "platform/gl/buffers.h"

#include <algorithm>

#include "platform/gl/device.h"

namespace gl {

GLuint BufferCopy::Sync(Functions& gl, StateCache& cache, GLenum target, device_common::ByteStore& store,
                        bool dynamic) {
    UINT begin = 0, end = 0;
    store.TakeWritten(begin, end);
    if (name_ == 0) {
        gl.GenBuffers(1, &name_);
        cache.BindBuffer(target, name_);
        gl.BufferData(target, static_cast<GLsizeiptr>(store.Length()), store.Data(),
                      dynamic ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
        gl.CountUpload(store.Length());
        return name_;
    }
    cache.BindBuffer(target, name_);
    if (end > begin) {
        gl.BufferSubData(target, begin, end - begin, store.Data() + begin);
        gl.CountUpload(end - begin);
    }
    return name_;
}

// ---- Vertex buffer ---------------------------------------------------------------------------

VertexBuffer::~VertexBuffer() {
    if (auto* device = static_cast<Device*>(Owner())) device->DeleteBuffer(copy_.Name());
}

GLuint VertexBuffer::Sync(Functions& gl, StateCache& cache) {
    return copy_.Sync(gl, cache, GL_ARRAY_BUFFER, Store(), (Usage() & D3DUSAGE_DYNAMIC) != 0);
}

// ---- Index buffer ----------------------------------------------------------------------------

IndexBuffer::~IndexBuffer() {
    if (auto* device = static_cast<Device*>(Owner())) device->DeleteBuffer(copy_.Name());
}

GLuint IndexBuffer::Sync(Functions& gl, StateCache& cache) {
    return copy_.Sync(gl, cache, GL_ELEMENT_ARRAY_BUFFER, Store(), (Usage() & D3DUSAGE_DYNAMIC) != 0);
}

void IndexBuffer::IndexBounds(UINT first, UINT count, std::uint32_t& lowest, std::uint32_t& highest) {
    if (bounds_.version != Store().Version() || bounds_.first != first || bounds_.count != count) {
        std::uint32_t low = 0xFFFFFFFFu, high = 0;
        for (UINT i = 0; i < count; ++i) {
            const std::uint32_t value = IndexAt(static_cast<std::uint64_t>(first) + i);
            low = std::min(low, value);
            high = std::max(high, value);
        }
        bounds_ = Bounds{Store().Version(), first, count, low, high};
    }
    lowest = bounds_.lowest;
    highest = bounds_.highest;
}

}  // namespace gl
