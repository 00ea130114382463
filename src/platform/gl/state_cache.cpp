#include "platform/gl/state_cache.h"

namespace gl {

void StateCache::Invalidate() {
    blendKnown_ = false;
    depthFunction_ = kUnknown;
    depthMask_ = -1;
    blendEnabled_ = depthEnabled_ = cullEnabled_ = scissorEnabled_ = -1;
    cullFace_ = kUnknown;
    colourMask_ = 0xFF;
    viewport_ = Rectangle{-1, -1, -1, -1};
    nearZ_ = farZ_ = -1.0f;
    scissor_ = Rectangle{-1, -1, -1, -1};
    clearKnown_ = stencilMaskKnown_ = false;
    program_ = kUnknown;
    activeUnit_ = -1;
    textures_.fill(kUnknown);
    samplers_.fill(kUnknown);
    arrayBuffer_ = elementBuffer_ = uniformBuffer_ = kUnknown;
    framebuffer_ = kUnknown;
    attributesKnown_ = 0;
}

void StateCache::Capability(GLenum capability, int& cached, bool on) {
    if (Skip(cached == static_cast<int>(on))) return;
    if (on)
        gl_.Enable(capability);
    else
        gl_.Disable(capability);
    cached = on;
}

void StateCache::Blend(const BlendState& blend) {
    Capability(GL_BLEND, blendEnabled_, blend.enabled);
    if (!blend.enabled) return;  // the factors wait until blending is on again
    const bool factorsKnown = blendKnown_;
    if (!Skip(factorsKnown && blend.sourceColour == blend_.sourceColour && blend.destColour == blend_.destColour &&
              blend.sourceAlpha == blend_.sourceAlpha && blend.destAlpha == blend_.destAlpha))
        gl_.BlendFuncSeparate(blend.sourceColour, blend.destColour, blend.sourceAlpha, blend.destAlpha);
    if (!Skip(factorsKnown && blend.equationColour == blend_.equationColour &&
              blend.equationAlpha == blend_.equationAlpha))
        gl_.BlendEquationSeparate(blend.equationColour, blend.equationAlpha);
    blend_ = blend;
    blendKnown_ = true;
}

void StateCache::Depth(const DepthState& depth) {
    Capability(GL_DEPTH_TEST, depthEnabled_, depth.test);
    if (!depth.test) return;
    if (!Skip(depth.function == depthFunction_)) {
        gl_.DepthFunc(depth.function);
        depthFunction_ = depth.function;
    }
    DepthMask(depth.write);
}

void StateCache::DepthMask(bool write) {
    if (Skip(depthMask_ == static_cast<int>(write))) return;
    gl_.DepthMask(write ? GL_TRUE : GL_FALSE);
    depthMask_ = write;
}

void StateCache::ClearValues(const std::array<float, 4>& colour, double depth, GLint stencil) {
    const bool known = clearKnown_ && filtering_;
    if (!known || colour != clearColour_) gl_.ClearColor(colour[0], colour[1], colour[2], colour[3]);
    if (!known || depth != clearDepth_) gl_.ClearDepth(depth);
    if (!known || stencil != clearStencil_) gl_.ClearStencil(stencil);
    clearColour_ = colour;
    clearDepth_ = depth;
    clearStencil_ = stencil;
    clearKnown_ = true;
}

void StateCache::StencilMask(GLuint mask) {
    if (Skip(stencilMaskKnown_ && mask == stencilMask_)) return;
    gl_.StencilMask(mask);
    stencilMask_ = mask;
    stencilMaskKnown_ = true;
}

void StateCache::Cull(GLenum face) {
    Capability(GL_CULL_FACE, cullEnabled_, face != GL_NONE);
    if (face == GL_NONE || Skip(face == cullFace_)) return;
    gl_.CullFace(face);
    cullFace_ = face;
}

void StateCache::ColourMask(std::uint8_t rgbaBits) {
    if (Skip(rgbaBits == colourMask_)) return;
    gl_.ColorMask((rgbaBits & 1) != 0, (rgbaBits & 2) != 0, (rgbaBits & 4) != 0, (rgbaBits & 8) != 0);
    colourMask_ = rgbaBits;
}

void StateCache::Viewport(const Rectangle& viewport, float nearZ, float farZ) {
    if (!Skip(viewport == viewport_)) {
        gl_.Viewport(viewport.x, viewport.y, viewport.width, viewport.height);
        viewport_ = viewport;
    }
    if (!Skip(nearZ == nearZ_ && farZ == farZ_)) {
        gl_.DepthRange(nearZ, farZ);
        nearZ_ = nearZ;
        farZ_ = farZ;
    }
}

void StateCache::Scissor(bool enabled, const Rectangle& rectangle) {
    Capability(GL_SCISSOR_TEST, scissorEnabled_, enabled);
    if (!enabled || Skip(rectangle == scissor_)) return;
    gl_.Scissor(rectangle.x, rectangle.y, rectangle.width, rectangle.height);
    scissor_ = rectangle;
}

void StateCache::UseProgram(GLuint program) {
    if (Skip(program == program_)) return;
    gl_.UseProgram(program);
    program_ = program;
}

void StateCache::ActiveUnit(int unit) {
    if (Skip(unit == activeUnit_)) return;
    gl_.ActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    activeUnit_ = unit;
}

void StateCache::BindTexture(int unit, GLuint texture) {
    if (Skip(textures_[unit] == texture)) return;
    ActiveUnit(unit);
    gl_.BindTexture(GL_TEXTURE_2D, texture);
    textures_[unit] = texture;
}

void StateCache::SelectTexture(int unit, GLuint texture) {
    ActiveUnit(unit);
    BindTexture(unit, texture);
}

void StateCache::BindSampler(int unit, GLuint sampler) {
    if (Skip(samplers_[unit] == sampler)) return;
    gl_.BindSampler(static_cast<GLuint>(unit), sampler);
    samplers_[unit] = sampler;
}

void StateCache::BindBuffer(GLenum target, GLuint buffer) {
    GLuint& cached = target == GL_ARRAY_BUFFER           ? arrayBuffer_
                     : target == GL_ELEMENT_ARRAY_BUFFER ? elementBuffer_
                                                         : uniformBuffer_;
    if (Skip(cached == buffer)) return;
    gl_.BindBuffer(target, buffer);
    cached = buffer;
}

void StateCache::BindFramebuffer(GLuint framebuffer) {
    if (Skip(framebuffer == framebuffer_)) return;
    gl_.BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    framebuffer_ = framebuffer;
}

void StateCache::EnableAttribute(GLuint index, bool enabled) {
    const std::uint32_t bit = 1u << index;
    if (Skip((attributesKnown_ & bit) != 0 && ((attributesEnabled_ & bit) != 0) == enabled)) return;
    if (enabled)
        gl_.EnableVertexAttribArray(index);
    else
        gl_.DisableVertexAttribArray(index);
    attributesKnown_ |= bit;
    attributesEnabled_ = enabled ? attributesEnabled_ | bit : attributesEnabled_ & ~bit;
}

void StateCache::ForgetBuffer(GLuint buffer) {
    // GL unbinds a deleted buffer from the current bindings.
    if (arrayBuffer_ == buffer) arrayBuffer_ = 0;
    if (elementBuffer_ == buffer) elementBuffer_ = 0;
    if (uniformBuffer_ == buffer) uniformBuffer_ = 0;
}

void StateCache::ForgetTexture(GLuint texture) {
    for (GLuint& bound : textures_)
        if (bound == texture) bound = 0;
}

}  // namespace gl
