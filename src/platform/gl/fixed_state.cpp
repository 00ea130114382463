#include "platform/gl/fixed_state.h"

#include <bit>

namespace gl {
namespace {

GLenum BlendFactor(DWORD factor, GLenum fallback) {
    switch (factor) {
        case D3DBLEND_ZERO:
            return GL_ZERO;
        case D3DBLEND_ONE:
            return GL_ONE;
        case D3DBLEND_SRCCOLOR:
            return GL_SRC_COLOR;
        case D3DBLEND_INVSRCCOLOR:
            return GL_ONE_MINUS_SRC_COLOR;
        case D3DBLEND_SRCALPHA:
            return GL_SRC_ALPHA;
        case D3DBLEND_INVSRCALPHA:
            return GL_ONE_MINUS_SRC_ALPHA;
        case D3DBLEND_DESTALPHA:
            return GL_DST_ALPHA;
        case D3DBLEND_INVDESTALPHA:
            return GL_ONE_MINUS_DST_ALPHA;
        case D3DBLEND_DESTCOLOR:
            return GL_DST_COLOR;
        case D3DBLEND_INVDESTCOLOR:
            return GL_ONE_MINUS_DST_COLOR;
        case D3DBLEND_SRCALPHASAT:
            return GL_SRC_ALPHA_SATURATE;
        default:
            return fallback;
    }
}

GLenum BlendEquation(DWORD operation) {
    switch (operation) {
        case 2:
            return GL_FUNC_SUBTRACT;
        case 3:
            return GL_FUNC_REVERSE_SUBTRACT;
        case 4:
            return GL_MIN;
        case 5:
            return GL_MAX;
        default:
            return GL_FUNC_ADD;
    }
}

// D3DCMP_NEVER to D3DCMP_ALWAYS line up with GL_NEVER to GL_ALWAYS.
GLenum CompareFunction(DWORD function) {
    return function >= D3DCMP_NEVER && function <= D3DCMP_ALWAYS ? GL_NEVER + (function - D3DCMP_NEVER) : GL_ALWAYS;
}

GLint Wrap(DWORD address) {
    switch (address) {
        case D3DTADDRESS_MIRROR:
            return GL_MIRRORED_REPEAT;
        case D3DTADDRESS_CLAMP:
            return GL_CLAMP_TO_EDGE;
        case D3DTADDRESS_BORDER:
            return GL_CLAMP_TO_BORDER;
        case D3DTADDRESS_MIRRORONCE:
            return GL_CLAMP_TO_EDGE;  // mirror-once is not in GL 3.3
        default:
            return GL_REPEAT;
    }
}

bool Linear(DWORD filter) { return filter == D3DTEXF_LINEAR || filter == D3DTEXF_ANISOTROPIC; }

GLint MinFilter(DWORD minFilter, DWORD mipFilter) {
    const bool linear = Linear(minFilter);
    switch (mipFilter) {
        case D3DTEXF_NONE:
            return linear ? GL_LINEAR : GL_NEAREST;
        case D3DTEXF_POINT:
            return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
        default:
            return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    }
}

}  // namespace

BlendState TranslateBlend(const device_common::ApiState& state) {
    const auto& rs = state.render;
    BlendState blend;
    blend.enabled = rs[D3DRS_ALPHABLENDENABLE] != FALSE;
    if (!blend.enabled) return blend;
    blend.sourceColour = BlendFactor(rs[D3DRS_SRCBLEND], GL_ONE);
    blend.destColour = BlendFactor(rs[D3DRS_DESTBLEND], GL_ZERO);
    blend.equationColour = BlendEquation(rs[D3DRS_BLENDOP]);
    const bool separate = rs[D3DRS_SEPARATEALPHABLENDENABLE] != FALSE;
    blend.sourceAlpha = separate ? BlendFactor(rs[D3DRS_SRCBLENDALPHA], GL_ONE) : blend.sourceColour;
    blend.destAlpha = separate ? BlendFactor(rs[D3DRS_DESTBLENDALPHA], GL_ZERO) : blend.destColour;
    blend.equationAlpha = separate ? BlendEquation(rs[D3DRS_BLENDOPALPHA]) : blend.equationColour;
    return blend;
}

DepthState TranslateDepth(const device_common::ApiState& state) {
    const auto& rs = state.render;
    DepthState depth;
    depth.test = rs[D3DRS_ZENABLE] != D3DZB_FALSE;
    depth.write = rs[D3DRS_ZWRITEENABLE] != FALSE;
    depth.function = CompareFunction(rs[D3DRS_ZFUNC]);
    return depth;
}

GLenum CulledFace(DWORD cullMode) {
    if (cullMode == D3DCULL_CCW) return GL_BACK;
    if (cullMode == D3DCULL_CW) return GL_FRONT;
    return GL_NONE;
}

SamplerParameters TranslateSampler(const std::array<DWORD, D3DSAMP_COUNT>& sampler) {
    SamplerParameters parameters;
    parameters.wrapS = Wrap(sampler[D3DSAMP_ADDRESSU]);
    parameters.wrapT = Wrap(sampler[D3DSAMP_ADDRESSV]);
    parameters.magFilter = Linear(sampler[D3DSAMP_MAGFILTER]) ? GL_LINEAR : GL_NEAREST;
    parameters.minFilter = MinFilter(sampler[D3DSAMP_MINFILTER], sampler[D3DSAMP_MIPFILTER]);
    parameters.lodBias = std::bit_cast<float>(sampler[D3DSAMP_MIPMAPLODBIAS]);
    parameters.minLod = static_cast<float>(sampler[D3DSAMP_MAXMIPLEVEL]);
    const DWORD border = sampler[D3DSAMP_BORDERCOLOR];
    parameters.borderColour[0] = static_cast<float>((border >> 16) & 255) / 255.0f;
    parameters.borderColour[1] = static_cast<float>((border >> 8) & 255) / 255.0f;
    parameters.borderColour[2] = static_cast<float>(border & 255) / 255.0f;
    parameters.borderColour[3] = static_cast<float>(border >> 24) / 255.0f;
    return parameters;
}

}  // namespace gl
