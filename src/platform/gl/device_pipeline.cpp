// What a draw sets in GL: the program for its state's key, the fixed state, the constants, the
// textures with their samplers, and the vertex attributes. Each part goes to GL only where it
// differs from what the previous draw left.
#include <cstring>

#include "platform/gl/buffers.h"
#include "platform/gl/device.h"
#include "platform/gl/program_source.h"
#include "platform/gl/texture.h"

namespace gl {

bool Device::ApplyProgram(const device_common::VertexLayout& layout, const bool textured[kStages]) {
    const GLuint program = programs_->Find(MakeProgramKey(state_, layout, textured));
    if (program == 0) return false;
    cache_->UseProgram(program);
    return true;
}

void Device::ApplyFixedState() {
    const auto& rs = state_.render;
    cache_->Blend(TranslateBlend(state_));
    DepthState depth = TranslateDepth(state_);
    depth.test = depth.test && target_.HasDepth();
    cache_->Depth(depth);
    cache_->Cull(CulledFace(rs[D3DRS_CULLMODE]));
    cache_->ColourMask(ColourMaskBits(rs[D3DRS_COLORWRITEENABLE]));
    const D3DVIEWPORT9& vp = state_.viewport;
    // Rows are stored top first, so Direct3D's viewport rows are GL's window rows as they are.
    cache_->Viewport(Rectangle{static_cast<GLint>(vp.X), static_cast<GLint>(vp.Y), static_cast<GLsizei>(vp.Width),
                               static_cast<GLsizei>(vp.Height)},
                     vp.MinZ, vp.MaxZ);
    cache_->Scissor(false);
}

template <typename Block>
void Device::UploadBlock(unsigned binding, const Block& fresh, Block& held) {
    if (constantsKnown_ && filtering_ && std::memcmp(&fresh, &held, sizeof fresh) == 0) return;
    held = fresh;
    cache_->BindBuffer(GL_UNIFORM_BUFFER, constantBuffers_[binding]);
    // A write in place, not new storage: drivers copy constants as they queue each draw (or
    // rename small writes themselves), so this neither waits for queued draws nor allocates.
    context_->Gl().BufferSubData(GL_UNIFORM_BUFFER, 0, sizeof fresh, &fresh);
    context_->Gl().CountUpload(sizeof fresh);
}

void Device::ApplyConstants() {
    Constants fresh;
    FillConstants(state_, fresh);
    UploadBlock(kTransformBinding, fresh.transform, constants_.transform);
    UploadBlock(kShadingBinding, fresh.shading, constants_.shading);
    constantsKnown_ = true;
}

void Device::UpdateSampler(DWORD stage, bool everything) {
    Functions& gl = context_->Gl();
    const SamplerParameters wanted = TranslateSampler(state_.sampler[stage]);
    SamplerParameters& held = samplerParameters_[stage];
    const bool all = everything || !filtering_;
    const GLuint sampler = samplers_[stage];
    if (all || wanted.wrapS != held.wrapS) gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_S, wanted.wrapS);
    if (all || wanted.wrapT != held.wrapT) gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_T, wanted.wrapT);
    if (all || wanted.minFilter != held.minFilter)
        gl.SamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, wanted.minFilter);
    if (all || wanted.magFilter != held.magFilter)
        gl.SamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, wanted.magFilter);
    if (all || wanted.lodBias != held.lodBias) gl.SamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, wanted.lodBias);
    if (all || wanted.minLod != held.minLod) gl.SamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, wanted.minLod);
    if (all || std::memcmp(wanted.borderColour, held.borderColour, sizeof held.borderColour) != 0)
        gl.SamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, wanted.borderColour);
    held = wanted;
}

void Device::ApplyTextures(const bool textured[kStages]) {
    for (DWORD s = 0; s < kStages; ++s) {
        if (!textured[s]) continue;
        const int unit = static_cast<int>(s);
        static_cast<Texture*>(state_.textures[s])->Sync(context_->Gl(), *cache_, unit);
        UpdateSampler(s, false);
        cache_->BindSampler(unit, samplers_[s]);
    }
}

void Device::ApplyVertexInput(const device_common::VertexLayout& layout) {
    const device_common::StreamBinding& stream = state_.streams[0];
    Functions& gl = context_->Gl();
    const GLuint buffer = static_cast<VertexBuffer*>(stream.buffer)->Sync(gl, *cache_);
    const VertexInput wanted{buffer, stream.offset, stream.stride, state_.fvf};
    if (vertexInputKnown_ && filtering_ && wanted == vertexInput_) return;
    const auto stride = static_cast<GLsizei>(stream.stride);
    const auto at = [&](int offset) { return reinterpret_cast<const void*>(std::uintptr_t{stream.offset} + offset); };
    const auto attribute = [&](GLuint index, int offset, GLint size, GLenum type, bool normalised) {
        cache_->EnableAttribute(index, offset >= 0);
        if (offset >= 0) gl.VertexAttribPointer(index, size, type, normalised ? GL_TRUE : GL_FALSE, stride, at(offset));
    };
    attribute(kPositionAttribute, 0, 3, GL_FLOAT, false);
    attribute(kNormalAttribute, layout.normal, 3, GL_FLOAT, false);
    // Direct3D colours are B, G, R, A bytes; GL_BGRA reads them in that order.
    attribute(kDiffuseAttribute, layout.diffuse, GL_BGRA, GL_UNSIGNED_BYTE, true);
    attribute(kSpecularAttribute, layout.specular, GL_BGRA, GL_UNSIGNED_BYTE, true);
    for (int set = 0; set < 8; ++set)
        attribute(kTexCoordAttribute + static_cast<GLuint>(set), set < layout.texCoordCount ? layout.texCoord[set] : -1,
                  layout.texCoordSize[set] > 0 ? layout.texCoordSize[set] : 2, GL_FLOAT, false);
    vertexInput_ = wanted;
    vertexInputKnown_ = true;
}

}  // namespace gl
