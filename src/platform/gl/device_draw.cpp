// Draw calls: checked against the bound buffers here, as the reference device checks them, so
// that GL never reads outside a buffer; then the state is applied and the draw issued.
#include <vector>

#include "platform/gl/buffers.h"
#include "platform/gl/device.h"

namespace gl {
namespace {

// Vertices a non-indexed draw reads (or indices an indexed one reads); 0 for what is not drawn.
std::uint64_t ElementsFor(D3DPRIMITIVETYPE type, UINT primitiveCount) {
    switch (type) {
        case D3DPT_TRIANGLELIST:
            return 3ull * primitiveCount;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN:
            return primitiveCount + 2ull;
        default:
            return 0;
    }
}

GLenum Mode(D3DPRIMITIVETYPE type) {
    if (type == D3DPT_TRIANGLESTRIP) return GL_TRIANGLE_STRIP;
    if (type == D3DPT_TRIANGLEFAN) return GL_TRIANGLE_FAN;
    return GL_TRIANGLES;
}

std::uint32_t IndexAt(const std::uint8_t* indices, UINT size, std::uint64_t k) {
    if (size == 2) return static_cast<std::uint32_t>(indices[2 * k] | (indices[2 * k + 1] << 8));
    return static_cast<std::uint32_t>(indices[4 * k]) | (static_cast<std::uint32_t>(indices[4 * k + 1]) << 8) |
           (static_cast<std::uint32_t>(indices[4 * k + 2]) << 16) |
           (static_cast<std::uint32_t>(indices[4 * k + 3]) << 24);
}

}  // namespace

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    if (ElementsFor(type, 1) == 0) return D3DERR_INVALIDCALL;
    if (primitiveCount == 0) return D3D_OK;
    const reference::StreamBinding& stream = state_.streams[0];
    auto* buffer = static_cast<VertexBuffer*>(stream.buffer);
    if (buffer == nullptr || stream.stride == 0) return D3DERR_INVALIDCALL;
    const std::uint64_t count = ElementsFor(type, primitiveCount);
    const std::uint64_t end = stream.offset + (static_cast<std::uint64_t>(startVertex) + count) * stream.stride;
    if (end > buffer->Store().Length()) return D3DERR_INVALIDCALL;
    return Submit(DrawCall{type, primitiveCount, static_cast<UINT>(count), startVertex, 0, false});
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex, UINT numVertices,
                                     UINT startIndex, UINT primitiveCount) {
    if (ElementsFor(type, 1) == 0) return D3DERR_INVALIDCALL;
    if (primitiveCount == 0 || numVertices == 0) return D3D_OK;
    auto* indices = static_cast<IndexBuffer*>(state_.indices);
    const reference::StreamBinding& stream = state_.streams[0];
    auto* buffer = static_cast<VertexBuffer*>(stream.buffer);
    if (indices == nullptr || buffer == nullptr || stream.stride == 0) return D3DERR_INVALIDCALL;
    const std::uint64_t count = ElementsFor(type, primitiveCount);
    if ((startIndex + count) * indices->IndexSize() > indices->Store().Length()) return D3DERR_INVALIDCALL;
    const std::int64_t firstVertex = static_cast<std::int64_t>(baseVertexIndex) + minVertexIndex;
    if (firstVertex < 0) return D3DERR_INVALIDCALL;
    const std::uint64_t end = stream.offset + (static_cast<std::uint64_t>(firstVertex) + numVertices) * stream.stride;
    if (end > buffer->Store().Length()) return D3DERR_INVALIDCALL;

    DrawCall call{type, primitiveCount, static_cast<UINT>(count), baseVertexIndex, startIndex, true};
    std::uint32_t lowest = 0, highest = 0;
    indices->IndexBounds(startIndex, call.elementCount, lowest, highest);
    // Indices outside the declared range would read outside the buffer: those triangles are
    // dropped, as the reference device drops them.
    if (lowest < minVertexIndex || highest - minVertexIndex >= numVertices)
        return SubmitFiltered(call, minVertexIndex, numVertices);
    return Submit(call);
}

HRESULT Device::SubmitFiltered(DrawCall call, UINT minVertexIndex, UINT numVertices) {
    auto* indices = static_cast<IndexBuffer*>(state_.indices);
    const std::uint8_t* source =
        indices->Store().Data() + static_cast<std::size_t>(call.firstIndex) * indices->IndexSize();
    const UINT size = indices->IndexSize();
    filteredIndices_.clear();
    for (UINT p = 0; p < call.primitiveCount; ++p) {
        std::uint64_t e[3];
        if (call.type == D3DPT_TRIANGLELIST) {
            e[0] = 3ull * p, e[1] = e[0] + 1, e[2] = e[0] + 2;
        } else if (call.type == D3DPT_TRIANGLESTRIP) {
            e[0] = p, e[1] = (p & 1) ? p + 2 : p + 1, e[2] = (p & 1) ? p + 1 : p + 2;  // keeps the winding
        } else {
            e[0] = p + 1, e[1] = p + 2, e[2] = 0;  // the fan's provoking vertex stays first
        }
        std::uint32_t v[3];
        bool inside = true;
        for (int k = 0; k < 3; ++k) {
            v[k] = IndexAt(source, size, e[k]);
            inside = inside && v[k] >= minVertexIndex && v[k] - minVertexIndex < numVertices;
        }
        if (inside) filteredIndices_.insert(filteredIndices_.end(), v, v + 3);
    }
    if (filteredIndices_.empty()) return D3D_OK;
    call.type = D3DPT_TRIANGLELIST;
    call.elementCount = static_cast<UINT>(filteredIndices_.size());
    call.filtered = true;
    return Submit(call);
}

HRESULT Device::Submit(const DrawCall& call) {
    if (!inScene_) return D3DERR_INVALIDCALL;
    reference::VertexLayout layout;
    if (!reference::DescribeVertices(state_.fvf, layout) || state_.streams[0].stride < layout.size)
        return D3DERR_INVALIDCALL;
    if (!Bind()) return D3DERR_DEVICELOST;
    bool textured[kStages];
    for (DWORD s = 0; s < kStages; ++s) textured[s] = state_.textures[s] != nullptr;
    cache_->BindFramebuffer(target_.Framebuffer());
    if (!ApplyProgram(layout, textured)) return D3D_OK;  // said when it failed to build; nothing to draw with
    ApplyFixedState();
    ApplyConstants();
    ApplyTextures(textured);
    ApplyVertexInput(layout);
    Functions& gl = context_->Gl();
    const auto count = static_cast<GLsizei>(call.elementCount);
    if (!call.indexed) {
        gl.DrawArrays(Mode(call.type), static_cast<GLint>(call.firstVertex), count);
    } else if (call.filtered) {
        BindFilteredIndices();
        gl.DrawElementsBaseVertex(GL_TRIANGLES, count, GL_UNSIGNED_INT, nullptr, static_cast<GLint>(call.firstVertex));
    } else {
        auto* indices = static_cast<IndexBuffer*>(state_.indices);
        indices->Store().Sync(gl, *cache_, GL_ELEMENT_ARRAY_BUFFER);
        const GLenum type = indices->IndexSize() == 2 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT;
        const auto offset = static_cast<std::uintptr_t>(call.firstIndex) * indices->IndexSize();
        gl.DrawElementsBaseVertex(Mode(call.type), count, type, reinterpret_cast<const void*>(offset),
                                  static_cast<GLint>(call.firstVertex));
    }
    ++drawsThisFrame_;
    return D3D_OK;
}

void Device::BindFilteredIndices() {
    Functions& gl = context_->Gl();
    if (filteredBuffer_ == 0) gl.GenBuffers(1, &filteredBuffer_);
    cache_->BindBuffer(GL_ELEMENT_ARRAY_BUFFER, filteredBuffer_);
    gl.BufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(filteredIndices_.size() * sizeof(std::uint32_t)),
                  filteredIndices_.data(), GL_STREAM_DRAW);
}

}  // namespace gl
