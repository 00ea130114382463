// Draw calls: checked against the bound buffers here, so that nothing past this point reads
// outside them, then handed to the renderer.
#include "platform/reference/device.h"

#include "platform/reference/vertex_layout.h"

namespace reference {
namespace {

// Vertices a non-indexed draw reads (or indices an indexed one reads).
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

// The largest draw the capabilities promise (MaxPrimitiveCount); larger counts would overflow
// the vertex and index arithmetic below.
constexpr UINT kMaxPrimitives = 0xFFFFF;

}  // namespace

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    if (ElementsFor(type, 1) == 0 || primitiveCount > kMaxPrimitives) return D3DERR_INVALIDCALL;
    if (primitiveCount == 0) return D3D_OK;
    DrawRange range{type, primitiveCount, nullptr, 0, 0, nullptr, 0, 0};
    range.vertexCount = static_cast<UINT>(ElementsFor(type, primitiveCount));
    const StreamBinding& stream = state_.streams[0];
    auto* buffer = static_cast<VertexBuffer*>(stream.buffer);
    if (buffer == nullptr || stream.stride == 0) return D3DERR_INVALIDCALL;
    std::uint64_t first = stream.offset + static_cast<std::uint64_t>(startVertex) * stream.stride;
    std::uint64_t end = first + static_cast<std::uint64_t>(range.vertexCount) * stream.stride;
    if (end > buffer->Store().Length() || range.vertexCount == 0) return D3DERR_INVALIDCALL;
    range.vertices = buffer->Store().Data() + first;
    range.stride = stream.stride;
    return SubmitDraw(type, range);
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex,
                                     UINT numVertices, UINT startIndex, UINT primitiveCount) {
    if (ElementsFor(type, 1) == 0 || primitiveCount > kMaxPrimitives) return D3DERR_INVALIDCALL;
    if (primitiveCount == 0 || numVertices == 0) return D3D_OK;
    auto* indices = static_cast<IndexBuffer*>(state_.indices);
    const StreamBinding& stream = state_.streams[0];
    auto* buffer = static_cast<VertexBuffer*>(stream.buffer);
    if (indices == nullptr || buffer == nullptr || stream.stride == 0) return D3DERR_INVALIDCALL;

    std::uint64_t indexEnd = (static_cast<std::uint64_t>(startIndex) + ElementsFor(type, primitiveCount)) *
                             indices->IndexSize();
    if (indexEnd > indices->Store().Length()) return D3DERR_INVALIDCALL;
    std::int64_t firstVertex = static_cast<std::int64_t>(baseVertexIndex) + minVertexIndex;
    if (firstVertex < 0) return D3DERR_INVALIDCALL;
    std::uint64_t first = stream.offset + static_cast<std::uint64_t>(firstVertex) * stream.stride;
    std::uint64_t end = first + static_cast<std::uint64_t>(numVertices) * stream.stride;
    if (end > buffer->Store().Length()) return D3DERR_INVALIDCALL;

    DrawRange range{type, primitiveCount, buffer->Store().Data() + first, stream.stride, numVertices,
                    indices->Store().Data() + static_cast<std::size_t>(startIndex) * indices->IndexSize(),
                    indices->IndexSize(), minVertexIndex};
    return SubmitDraw(type, range);
}

HRESULT Device::SubmitDraw(D3DPRIMITIVETYPE, const DrawRange& range) {
    if (!inScene_) return D3DERR_INVALIDCALL;
    VertexLayout layout;
    if (!DescribeVertices(state_.fvf, layout) || range.stride < layout.size) return D3DERR_INVALIDCALL;
    Texture* textures[kDrawnStages] = {};
    for (DWORD s = 0; s < kDrawnStages; ++s) textures[s] = static_cast<Texture*>(state_.textures[s]);
    renderer_->Draw(state_, textures, range);
    return D3D_OK;
}

}  // namespace reference
