#pragma once
// Direct3D's render and sampler states in GL's terms. Pure translations: the device applies
// their results through the state cache.

#include <cstdint>

#include "platform/device_common/api_state.h"
#include "platform/gl/state_cache.h"

namespace gl {

BlendState TranslateBlend(const device_common::ApiState& state);
DepthState TranslateDepth(const device_common::ApiState& state);

// The face GL must cull for a Direct3D cull mode, GL_NONE for none. Direct3D calls a triangle
// clockwise as seen on the screen, y down; the frame is stored top row first, which GL sees as
// y up, so Direct3D's clockwise is GL's counter-clockwise (front, with GL_CCW front faces).
GLenum CulledFace(DWORD cullMode);

// D3DRS_COLORWRITEENABLE (red 1, green 2, blue 4, alpha 8) is GL's order already.
inline std::uint8_t ColourMaskBits(DWORD colourWriteEnable) {
    return static_cast<std::uint8_t>(colourWriteEnable & 0xF);
}

struct SamplerParameters {
    GLint wrapS = GL_REPEAT, wrapT = GL_REPEAT;
    GLint minFilter = GL_NEAREST, magFilter = GL_NEAREST;
    float lodBias = 0.0f;
    float minLod = 0.0f;
    float borderColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    bool operator==(const SamplerParameters&) const = default;
};

SamplerParameters TranslateSampler(const std::array<DWORD, D3DSAMP_COUNT>& sampler);

}  // namespace gl
