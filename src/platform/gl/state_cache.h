#pragma once
// The OpenGL state the device last set, so that a call is made only when a value changes. The
// cache is the only code that binds or enables anything; objects that are deleted are forgotten
// here first, since GL hands their names out again. With filtering off every call goes through
// (tests compare the two).

#include <array>
#include <cstdint>

#include "platform/gl/gl_functions.h"

namespace gl {

constexpr int kTextureUnits = 2;

struct BlendState {
    bool enabled = false;
    GLenum sourceColour = GL_ONE, destColour = GL_ZERO, sourceAlpha = GL_ONE, destAlpha = GL_ZERO;
    GLenum equationColour = GL_FUNC_ADD, equationAlpha = GL_FUNC_ADD;
    bool operator==(const BlendState&) const = default;
};

struct DepthState {
    bool test = false;
    bool write = true;
    GLenum function = GL_LESS;
    bool operator==(const DepthState&) const = default;
};

struct Rectangle {
    GLint x = 0, y = 0;
    GLsizei width = 0, height = 0;
    bool operator==(const Rectangle&) const = default;
};

class StateCache {
public:
    explicit StateCache(Functions& gl) : gl_(gl) {}

    // Forgets every value: the next call of each setter reaches GL.
    void Invalidate();
    // Filtering off sends every call to GL whatever the cache holds.
    void SetFiltering(bool filtering) { filtering_ = filtering; }

    void Blend(const BlendState& blend);
    void Depth(const DepthState& depth);
    // Clear writes depth whatever the draws' state is.
    void DepthMask(bool write);
    // GL_NONE turns culling off; otherwise the face to cull.
    void Cull(GLenum face);
    void ColourMask(std::uint8_t rgbaBits);
    void Viewport(const Rectangle& viewport, float nearZ, float farZ);
    // An empty optional rectangle turns scissoring off.
    void Scissor(bool enabled, const Rectangle& rectangle = {});
    // The values a clear writes, and the stencil write mask (which only clears change).
    void ClearValues(const std::array<float, 4>& colour, double depth, GLint stencil);
    void StencilMask(GLuint mask);

    void UseProgram(GLuint program);
    void BindTexture(int unit, GLuint texture);
    // Binds `texture` to `unit` and makes that unit the active one, so that texture calls that
    // follow change this texture (BindTexture alone may leave another unit active).
    void SelectTexture(int unit, GLuint texture);
    void BindSampler(int unit, GLuint sampler);
    // GL_ARRAY_BUFFER, GL_ELEMENT_ARRAY_BUFFER or GL_UNIFORM_BUFFER.
    void BindBuffer(GLenum target, GLuint buffer);
    void BindFramebuffer(GLuint framebuffer);
    void EnableAttribute(GLuint index, bool enabled);

    // Called before the object is deleted (or after someone else changed the binding).
    void ForgetBuffer(GLuint buffer);
    void ForgetTexture(GLuint texture);
    void ForgetFramebuffer() { framebuffer_ = kUnknown; }

private:
    static constexpr GLuint kUnknown = 0xFFFFFFFFu;

    bool Skip(bool same) const { return filtering_ && same; }
    void ActiveUnit(int unit);
    void Capability(GLenum capability, int& cached, bool on);

    Functions& gl_;
    bool filtering_ = true;
    bool blendKnown_ = false;
    BlendState blend_;
    GLenum depthFunction_ = kUnknown;
    int depthMask_ = -1;
    int blendEnabled_ = -1, depthEnabled_ = -1, cullEnabled_ = -1, scissorEnabled_ = -1;
    GLenum cullFace_ = kUnknown;
    std::uint8_t colourMask_ = 0xFF;
    Rectangle viewport_;
    float nearZ_ = -1.0f, farZ_ = -1.0f;
    Rectangle scissor_;
    bool clearKnown_ = false;
    std::array<float, 4> clearColour_{};
    double clearDepth_ = 0.0;
    GLint clearStencil_ = 0;
    bool stencilMaskKnown_ = false;
    GLuint stencilMask_ = 0;
    GLuint program_ = kUnknown;
    int activeUnit_ = -1;
    std::array<GLuint, kTextureUnits> textures_{};
    std::array<GLuint, kTextureUnits> samplers_{};
    GLuint arrayBuffer_ = kUnknown, elementBuffer_ = kUnknown, uniformBuffer_ = kUnknown;
    GLuint framebuffer_ = kUnknown;
    std::uint32_t attributesEnabled_ = 0, attributesKnown_ = 0;
};

}  // namespace gl
