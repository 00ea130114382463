#include "platform/reference/vertex_stage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace reference {
namespace {

constexpr float kMinW = 1.0e-6f;
// Screen positions stay within +-8000 pixels, where the rasteriser's 32-bit edge arithmetic holds.
constexpr float kGuardPixels = 8000.0f;

void Multiply(const D3DMATRIX& a, const D3DMATRIX& b, float out[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c] + a.m[r][3] * b.m[3][c];
}

D3DMATRIX ToMatrix(const float m[4][4]) {
    D3DMATRIX out;
    std::memcpy(out.m, m, sizeof(out.m));
    return out;
}

// Normals go through the inverse transpose, so that they stay perpendicular under scaling.
void InverseTranspose3(const float m[4][4], float out[3][3]) {
    float a = m[0][0], b = m[0][1], c = m[0][2];
    float d = m[1][0], e = m[1][1], f = m[1][2];
    float g = m[2][0], h = m[2][1], i = m[2][2];
    float cofactor[3][3] = {{e * i - f * h, f * g - d * i, d * h - e * g},
                            {c * h - b * i, a * i - c * g, b * g - a * h},
                            {b * f - c * e, c * d - a * f, a * e - b * d}};
    float det = a * cofactor[0][0] + b * cofactor[0][1] + c * cofactor[0][2];
    float inv = det != 0.0f ? 1.0f / det : 0.0f;
    // (M^-1)^T = cofactor matrix / det.
    for (int r = 0; r < 3; ++r)
        for (int col = 0; col < 3; ++col) out[r][col] = cofactor[r][col] * inv;
}

void Normalize3(float v[3]) {
    float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0.0f) {
        v[0] /= length;
        v[1] /= length;
        v[2] /= length;
    }
}

int ColourSource(DWORD source, bool colourVertex, const device_common::VertexLayout& layout) {
    if (!colourVertex) return -1;
    if (source == D3DMCS_COLOR1) return layout.diffuse;
    if (source == D3DMCS_COLOR2) return layout.specular;
    return -1;
}

void PrepareLights(const device_common::ApiState& state, VertexSetup& setup) {
    setup.lightCount = 0;
    const D3DMATRIX& view = state.view;
    for (const device_common::LightSlot& slot : state.lights) {
        if (!slot.enabled || slot.light.Type != D3DLIGHT_DIRECTIONAL || setup.lightCount == kMaxActiveLights) continue;
        VertexSetup::Light& light = setup.lights[setup.lightCount++];
        const D3DVECTOR& d = slot.light.Direction;
        for (int k = 0; k < 3; ++k) light.toLight[k] = -(d.x * view.m[0][k] + d.y * view.m[1][k] + d.z * view.m[2][k]);
        Normalize3(light.toLight);
        const D3DCOLORVALUE &ld = slot.light.Diffuse, &ls = slot.light.Specular, &la = slot.light.Ambient;
        light.diffuse[0] = ld.r, light.diffuse[1] = ld.g, light.diffuse[2] = ld.b;
        light.specular[0] = ls.r, light.specular[1] = ls.g, light.specular[2] = ls.b;
        light.ambient[0] = la.r, light.ambient[1] = la.g, light.ambient[2] = la.b;
    }
}

void PrepareViewport(const device_common::ApiState& state, VertexSetup& setup) {
    const D3DVIEWPORT9& vp = state.viewport;
    setup.viewportX = static_cast<float>(vp.X);
    setup.viewportY = static_cast<float>(vp.Y);
    setup.halfWidth = static_cast<float>(vp.Width) * 0.5f;
    setup.halfHeight = static_cast<float>(vp.Height) * 0.5f;
    setup.minZ = vp.MinZ;
    setup.depthScale = vp.MaxZ - vp.MinZ;
    float centreX = setup.viewportX + setup.halfWidth, centreY = setup.viewportY + setup.halfHeight;
    setup.guardX = std::max(1.0f, (kGuardPixels - centreX) / setup.halfWidth);
    setup.guardY = std::max(1.0f, (kGuardPixels - centreY) / setup.halfHeight);
}

struct Colour {
    float r, g, b, a;
};

Colour ReadColour(const std::uint8_t* vertex, int offset, const D3DCOLORVALUE& fallback) {
    if (offset < 0) return {fallback.r, fallback.g, fallback.b, fallback.a};
    std::uint32_t c;
    std::memcpy(&c, vertex + offset, 4);
    constexpr float k = 1.0f / 255.0f;
    return {((c >> 16) & 255) * k, ((c >> 8) & 255) * k, (c & 255) * k, (c >> 24) * k};
}

void Light(const VertexSetup& setup, const std::uint8_t* vertex, const float eye[3], ShadedVertex& out) {
    float normal[3] = {0, 0, 0};
    if (setup.layout.normal >= 0) {
        float n[3];
        std::memcpy(n, vertex + setup.layout.normal, sizeof n);
        for (int k = 0; k < 3; ++k)
            normal[k] =
                n[0] * setup.normalMatrix[0][k] + n[1] * setup.normalMatrix[1][k] + n[2] * setup.normalMatrix[2][k];
        if (setup.normalizeNormals) Normalize3(normal);
    }
    const D3DMATERIAL9& m = setup.material;
    Colour diffuse = ReadColour(vertex, setup.diffuseSource, m.Diffuse);
    Colour ambient = ReadColour(vertex, setup.ambientSource, m.Ambient);
    Colour specular = ReadColour(vertex, setup.specularSource, m.Specular);
    Colour emissive = ReadColour(vertex, setup.emissiveSource, m.Emissive);

    float ambientSum[3] = {setup.globalAmbient[0], setup.globalAmbient[1], setup.globalAmbient[2]};
    float diffuseSum[3] = {0, 0, 0}, specularSum[3] = {0, 0, 0};
    // A black specular material reflects nothing whatever the highlights: they are not computed.
    const bool highlights = setup.specular && (specular.r != 0.0f || specular.g != 0.0f || specular.b != 0.0f);
    float toEye[3] = {0, 0, 1};
    if (highlights && setup.localViewer) {
        toEye[0] = -eye[0], toEye[1] = -eye[1], toEye[2] = -eye[2];
        Normalize3(toEye);
    }
    for (int i = 0; i < setup.lightCount; ++i) {
        const VertexSetup::Light& light = setup.lights[i];
        for (int k = 0; k < 3; ++k) ambientSum[k] += light.ambient[k];
        float nDotL = normal[0] * light.toLight[0] + normal[1] * light.toLight[1] + normal[2] * light.toLight[2];
        if (nDotL <= 0.0f) continue;
        for (int k = 0; k < 3; ++k) diffuseSum[k] += light.diffuse[k] * nDotL;
        if (!highlights) continue;
        float half[3];
        for (int k = 0; k < 3; ++k) half[k] = light.toLight[k] + toEye[k];  // a distant viewer looks along +z
        Normalize3(half);
        float nDotH = normal[0] * half[0] + normal[1] * half[1] + normal[2] * half[2];
        if (nDotH <= 0.0f) continue;
        float power = m.Power > 0.0f ? std::pow(nDotH, m.Power) : 1.0f;
        for (int k = 0; k < 3; ++k) specularSum[k] += light.specular[k] * power;
    }
    const float d[3] = {diffuse.r, diffuse.g, diffuse.b}, a[3] = {ambient.r, ambient.g, ambient.b};
    const float s[3] = {specular.r, specular.g, specular.b}, e[3] = {emissive.r, emissive.g, emissive.b};
    for (int k = 0; k < 3; ++k) {
        float lit = a[k] * ambientSum[k] + d[k] * diffuseSum[k] + e[k];
        out.colour[k] = std::clamp(lit, 0.0f, 1.0f) * 255.0f;
        out.specular[k] = std::clamp(s[k] * specularSum[k], 0.0f, 1.0f) * 255.0f;
    }
    out.colour[3] = std::clamp(diffuse.a, 0.0f, 1.0f) * 255.0f;
}

void Unlit(const VertexSetup& setup, const std::uint8_t* vertex, ShadedVertex& out) {
    // Without lighting the vertex colours pass through; without them, opaque white and no specular.
    static constexpr D3DCOLORVALUE kWhite{1, 1, 1, 1}, kNone{0, 0, 0, 0};
    Colour diffuse = ReadColour(vertex, setup.layout.diffuse, kWhite);
    Colour specular = ReadColour(vertex, setup.layout.specular, kNone);
    out.colour[0] = diffuse.r * 255.0f, out.colour[1] = diffuse.g * 255.0f;
    out.colour[2] = diffuse.b * 255.0f, out.colour[3] = diffuse.a * 255.0f;
    out.specular[0] = specular.r * 255.0f, out.specular[1] = specular.g * 255.0f;
    out.specular[2] = specular.b * 255.0f;
}

}  // namespace

bool PrepareVertexStage(const device_common::ApiState& state, VertexSetup& setup) {
    if (!device_common::DescribeVertices(state.fvf, setup.layout)) return false;
    float worldView[4][4];
    Multiply(state.world[0], state.view, worldView);
    Multiply(ToMatrix(worldView), state.projection, setup.positionMatrix);
    std::memcpy(setup.eyeMatrix, worldView, sizeof worldView);
    InverseTranspose3(worldView, setup.normalMatrix);

    const auto& rs = state.render;
    setup.lighting = rs[D3DRS_LIGHTING] != FALSE;
    setup.normalizeNormals = rs[D3DRS_NORMALIZENORMALS] != FALSE;
    setup.specular = rs[D3DRS_SPECULARENABLE] != FALSE;
    setup.localViewer = rs[D3DRS_LOCALVIEWER] != FALSE;
    PrepareLights(state, setup);
    DWORD ambient = rs[D3DRS_AMBIENT];
    setup.globalAmbient[0] = ((ambient >> 16) & 255) / 255.0f;
    setup.globalAmbient[1] = ((ambient >> 8) & 255) / 255.0f;
    setup.globalAmbient[2] = (ambient & 255) / 255.0f;
    bool colourVertex = rs[D3DRS_COLORVERTEX] != FALSE;
    setup.diffuseSource = ColourSource(rs[D3DRS_DIFFUSEMATERIALSOURCE], colourVertex, setup.layout);
    setup.ambientSource = ColourSource(rs[D3DRS_AMBIENTMATERIALSOURCE], colourVertex, setup.layout);
    setup.specularSource = ColourSource(rs[D3DRS_SPECULARMATERIALSOURCE], colourVertex, setup.layout);
    setup.emissiveSource = ColourSource(rs[D3DRS_EMISSIVEMATERIALSOURCE], colourVertex, setup.layout);
    setup.material = state.material;

    for (DWORD s = 0; s < device_common::kDrawnStages; ++s) {
        DWORD set = state.stage[s][D3DTSS_TEXCOORDINDEX] & 0xFFFF;
        bool present = static_cast<int>(set) < setup.layout.texCoordCount && setup.layout.texCoordSize[set] >= 2;
        setup.texCoordSource[s] = present ? setup.layout.texCoord[set] : -1;
    }
    PrepareViewport(state, setup);
    return true;
}

bool ShadesBlackSpecular(const VertexSetup& setup) {
    if (!setup.lighting) return setup.layout.specular < 0;
    const D3DCOLORVALUE& s = setup.material.Specular;
    // Black skips the highlights, so the sum they would scale stays 0 and nothing can overflow.
    return setup.specularSource < 0 && s.r == 0.0f && s.g == 0.0f && s.b == 0.0f;
}

std::uint32_t Outcodes(const VertexSetup& setup, const float c[4]) {
    std::uint32_t codes = 0;
    if (c[2] < 0.0f) codes |= kOutsideNear;
    if (c[2] > c[3]) codes |= kOutsideFar;
    if (c[0] < -setup.guardX * c[3]) codes |= kOutsideLeft;
    if (c[0] > setup.guardX * c[3]) codes |= kOutsideRight;
    if (c[1] < -setup.guardY * c[3]) codes |= kOutsideBottom;
    if (c[1] > setup.guardY * c[3]) codes |= kOutsideTop;
    if (c[3] < kMinW) codes |= kOutsideW;
    return codes;
}

float PlaneDistance(const VertexSetup& setup, std::uint32_t plane, const float c[4]) {
    switch (plane) {
        case kOutsideNear:
            return c[2];
        case kOutsideFar:
            return c[3] - c[2];
        case kOutsideLeft:
            return c[0] + setup.guardX * c[3];
        case kOutsideRight:
            return setup.guardX * c[3] - c[0];
        case kOutsideBottom:
            return c[1] + setup.guardY * c[3];
        case kOutsideTop:
            return setup.guardY * c[3] - c[1];
        default:
            return c[3] - kMinW;
    }
}

void ProjectToScreen(const VertexSetup& setup, ShadedVertex& v) {
    float invW = 1.0f / v.clip[3];
    float x = setup.viewportX + (v.clip[0] * invW + 1.0f) * setup.halfWidth;
    float y = setup.viewportY + (1.0f - v.clip[1] * invW) * setup.halfHeight;
    v.sx = static_cast<std::int32_t>(std::lrintf(x * kSubpixelScale));
    v.sy = static_cast<std::int32_t>(std::lrintf(y * kSubpixelScale));
    v.z = setup.minZ + v.clip[2] * invW * setup.depthScale;
    v.invW = invW;
}

void RunVertexStage(const VertexSetup& setup, const std::uint8_t* vertices, UINT stride, UINT count,
                    ShadedVertex* out) {
    // Only a local viewer's highlights look at where the vertex is, and black ones are skipped.
    const bool needsEye = setup.specular && setup.localViewer && !ShadesBlackSpecular(setup);
    for (UINT i = 0; i < count; ++i, vertices += stride) {
        ShadedVertex& v = out[i];
        float p[3];
        std::memcpy(p, vertices, sizeof p);
        const auto& m = setup.positionMatrix;
        for (int k = 0; k < 4; ++k) v.clip[k] = p[0] * m[0][k] + p[1] * m[1][k] + p[2] * m[2][k] + m[3][k];
        if (setup.lighting) {
            float eye[3] = {0, 0, 0};
            if (needsEye) {
                const auto& e = setup.eyeMatrix;
                for (int k = 0; k < 3; ++k) eye[k] = p[0] * e[0][k] + p[1] * e[1][k] + p[2] * e[2][k] + e[3][k];
            }
            Light(setup, vertices, eye, v);
        } else {
            Unlit(setup, vertices, v);
        }
        for (DWORD s = 0; s < device_common::kDrawnStages; ++s) {
            if (setup.texCoordSource[s] >= 0)
                std::memcpy(v.tex[s], vertices + setup.texCoordSource[s], sizeof v.tex[s]);
            else
                v.tex[s][0] = v.tex[s][1] = 0.0f;
        }
        v.outcodes = Outcodes(setup, v.clip);
        if (v.outcodes == 0) ProjectToScreen(setup, v);
    }
}

}  // namespace reference
