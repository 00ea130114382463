#pragma once
// The hardware device's vertex and index buffers: the shared byte stores in main memory, where
// locks hand them out, and a GL buffer object holding a copy that is brought up to date when a
// draw needs it. Only the bytes written since the last draw travel.

#include <cstdint>

#include "platform/device_common/buffers.h"
#include "platform/gl/state_cache.h"

namespace gl {

// The GL buffer object that mirrors a byte store.
class BufferCopy {
public:
    // The GL buffer with the store's current bytes, bound to `target` (made on first use).
    GLuint Sync(Functions& gl, StateCache& cache, GLenum target, device_common::ByteStore& store, bool dynamic);
    // 0 before the first Sync.
    GLuint Name() const { return name_; }

private:
    GLuint name_ = 0;
};

class VertexBuffer final : public device_common::VertexBufferBase {
public:
    using VertexBufferBase::VertexBufferBase;
    ~VertexBuffer() override;

    GLuint Sync(Functions& gl, StateCache& cache);

private:
    BufferCopy copy_;
};

class IndexBuffer final : public device_common::IndexBufferBase {
public:
    using IndexBufferBase::IndexBufferBase;
    ~IndexBuffer() override;

    GLuint Sync(Functions& gl, StateCache& cache);

    // The smallest and largest index in [first, first + count), remembered for the last range
    // asked until the bytes change: static geometry is scanned once, not every frame.
    void IndexBounds(UINT first, UINT count, std::uint32_t& lowest, std::uint32_t& highest);

private:
    struct Bounds {
        std::uint64_t version = ~0ull;
        UINT first = 0, count = 0;
        std::uint32_t lowest = 0, highest = 0;
    };

    BufferCopy copy_;
    Bounds bounds_;
};

}  // namespace gl
