// Draw calls, checked by the front end: the state is applied and the draw issued. An indexed
// draw whose indices leave the range it declared is drawn without the triangles that do, as the
// reference device draws it, so that GL never reads outside a buffer.
#include <vector>

#include "platform/device_common/primitives.h"
#include "platform/gl/buffers.h"
#include "platform/gl/device.h"

namespace gl {
namespace {

GLenum Mode(D3DPRIMITIVETYPE type) {
    if (type == D3DPT_TRIANGLESTRIP) return GL_TRIANGLE_STRIP;
    if (type == D3DPT_TRIANGLEFAN) return GL_TRIANGLE_FAN;
    return GL_TRIANGLES;
}

bool Declared(std::uint32_t index, const device_common::DrawRequest& draw) {
    return index >= draw.minVertexIndex && index - draw.minVertexIndex < draw.vertexCount;
}

}  // namespace

HRESULT Device::SubmitDraw(const device_common::DrawRequest& draw) {
    if (draw.indices == nullptr) return Issue(draw, false);
    std::uint32_t lowest = 0, highest = 0;
    static_cast<IndexBuffer*>(state_.indices)->IndexBounds(draw.startIndex, draw.elementCount, lowest, highest);
    if (Declared(lowest, draw) && Declared(highest, draw)) return Issue(draw, false);
    FilterIndices(draw);
    return filteredIndices_.empty() ? D3D_OK : Issue(draw, true);
}

void Device::FilterIndices(const device_common::DrawRequest& draw) {
    filteredIndices_.clear();
    for (UINT p = 0; p < draw.primitiveCount; ++p) {
        std::uint64_t e[3];
        device_common::TriangleElements(draw.type, p, e);
        std::uint32_t v[3];
        bool inside = true;
        for (int k = 0; k < 3; ++k) {
            v[k] = draw.indices->IndexAt(draw.startIndex + e[k]);
            inside = inside && Declared(v[k], draw);
        }
        if (inside) filteredIndices_.insert(filteredIndices_.end(), v, v + 3);
    }
}

HRESULT Device::Issue(const device_common::DrawRequest& draw, bool filtered) {
    if (!Bind()) return D3DERR_DEVICELOST;
    bool textured[kStages];
    for (DWORD s = 0; s < kStages; ++s) textured[s] = state_.textures[s] != nullptr;
    cache_->BindFramebuffer(target_.Framebuffer());
    if (!ApplyProgram(draw.layout, textured)) return D3D_OK;  // said when it failed to build; nothing to draw with
    ApplyFixedState();
    ApplyConstants();
    ApplyTextures(textured);
    ApplyVertexInput(draw.layout);
    Functions& gl = context_->Gl();
    const auto first = static_cast<GLint>(draw.firstVertex);
    if (draw.indices == nullptr) {
        gl.DrawArrays(Mode(draw.type), first, static_cast<GLsizei>(draw.elementCount));
    } else if (filtered) {
        BindFilteredIndices();
        gl.DrawElementsBaseVertex(GL_TRIANGLES, static_cast<GLsizei>(filteredIndices_.size()), GL_UNSIGNED_INT, nullptr,
                                  first);
    } else {
        auto* indices = static_cast<IndexBuffer*>(state_.indices);
        indices->Sync(gl, *cache_);
        const GLenum type = indices->IndexSize() == 2 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT;
        const auto offset = static_cast<std::uintptr_t>(draw.startIndex) * indices->IndexSize();
        gl.DrawElementsBaseVertex(Mode(draw.type), static_cast<GLsizei>(draw.elementCount), type,
                                  reinterpret_cast<const void*>(offset), first);
    }
    ++drawsThisFrame_;
    return D3D_OK;
}

void Device::BindFilteredIndices() {
    Functions& gl = context_->Gl();
    if (filteredBuffer_ == 0) gl.GenBuffers(1, &filteredBuffer_);
    cache_->BindBuffer(GL_ELEMENT_ARRAY_BUFFER, filteredBuffer_);
    const std::size_t bytes = filteredIndices_.size() * sizeof(std::uint32_t);
    gl.BufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), filteredIndices_.data(), GL_STREAM_DRAW);
    gl.CountUpload(bytes);
}

}  // namespace gl
