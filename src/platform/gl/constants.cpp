#include "platform/gl/constants.h"

#include <cmath>
#include <cstring>

namespace gl {
namespace {

// An edge exactly through a pixel centre must not depend on GL's own tie rule: the picture moves
// up and left by this much (in pixels), so the centre lies strictly on Direct3D's side.
constexpr float kTieBreak = 1.0f / 128.0f;

void Multiply(const D3DMATRIX& a, const D3DMATRIX& b, D3DMATRIX& out) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out.m[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c] + a.m[r][3] * b.m[3][c];
}

// Normals go through the inverse transpose, so that they stay perpendicular under scaling.
void InverseTranspose3(const D3DMATRIX& m, float out[16]) {
    const float a = m._11, b = m._12, c = m._13, d = m._21, e = m._22, f = m._23, g = m._31, h = m._32, i = m._33;
    const float cofactor[3][3] = {{e * i - f * h, f * g - d * i, d * h - e * g},
                                  {c * h - b * i, a * i - c * g, b * g - a * h},
                                  {b * f - c * e, c * d - a * f, a * e - b * d}};
    const float det = a * cofactor[0][0] + b * cofactor[0][1] + c * cofactor[0][2];
    const float inverse = det != 0.0f ? 1.0f / det : 0.0f;
    std::memset(out, 0, 16 * sizeof(float));
    for (int r = 0; r < 3; ++r)
        for (int col = 0; col < 3; ++col) out[r * 4 + col] = cofactor[r][col] * inverse;
    out[15] = 1.0f;
}

void Copy(const D3DCOLORVALUE& colour, float out[4]) {
    out[0] = colour.r;
    out[1] = colour.g;
    out[2] = colour.b;
    out[3] = colour.a;
}

void Unpack(D3DCOLOR colour, float out[4]) {
    out[0] = static_cast<float>((colour >> 16) & 255) / 255.0f;
    out[1] = static_cast<float>((colour >> 8) & 255) / 255.0f;
    out[2] = static_cast<float>(colour & 255) / 255.0f;
    out[3] = static_cast<float>(colour >> 24) / 255.0f;
}

void FillLights(const device_common::ApiState& state, ShadingConstants& constants) {
    int count = 0;
    const D3DMATRIX& view = state.view;
    for (const device_common::LightSlot& slot : state.lights) {
        if (!slot.enabled || slot.light.Type != D3DLIGHT_DIRECTIONAL || count == kMaxLights) continue;
        const D3DVECTOR& d = slot.light.Direction;
        float* toLight = constants.lightDirection[count];
        for (int k = 0; k < 3; ++k) toLight[k] = -(d.x * view.m[0][k] + d.y * view.m[1][k] + d.z * view.m[2][k]);
        const float length = std::sqrt(toLight[0] * toLight[0] + toLight[1] * toLight[1] + toLight[2] * toLight[2]);
        if (length > 0.0f)
            for (int k = 0; k < 3; ++k) toLight[k] /= length;
        Copy(slot.light.Diffuse, constants.lightDiffuse[count]);
        Copy(slot.light.Specular, constants.lightSpecular[count]);
        Copy(slot.light.Ambient, constants.lightAmbient[count]);
        ++count;
    }
}

}  // namespace

const char* const kTransformBlockSource = R"(layout(std140) uniform TransformConstants {
    mat4 worldViewProjection;
    mat4 worldView;
    mat4 normalMatrix;
};
)";

const char* const kShadingBlockSource = R"(layout(std140) uniform ShadingConstants {
    vec4 pixelAdjust;
    vec4 materialDiffuse;
    vec4 materialAmbient;
    vec4 materialSpecular;
    vec4 materialEmissive;
    vec4 ambientAndPower;
    vec4 lightDirection[8];
    vec4 lightDiffuse[8];
    vec4 lightSpecular[8];
    vec4 lightAmbient[8];
    vec4 textureFactor;
    vec4 stageConstant[2];
    vec4 alphaReference;
};
)";

void FillConstants(const device_common::ApiState& state, Constants& out) {
    std::memset(&out, 0, sizeof out);
    TransformConstants& transform = out.transform;
    D3DMATRIX worldView, worldViewProjection;
    Multiply(state.world[0], state.view, worldView);
    Multiply(worldView, state.projection, worldViewProjection);
    std::memcpy(transform.worldViewProjection, worldViewProjection.m, sizeof worldViewProjection.m);
    std::memcpy(transform.worldView, worldView.m, sizeof worldView.m);
    InverseTranspose3(worldView, transform.normalMatrix);

    ShadingConstants& shading = out.shading;
    const D3DVIEWPORT9& viewport = state.viewport;
    const float shift = 1.0f - 2.0f * kTieBreak;  // (half a pixel - tie break) x 2 / size
    shading.pixelAdjust[0] = shift / static_cast<float>(viewport.Width);
    shading.pixelAdjust[1] = shift / static_cast<float>(viewport.Height);

    const D3DMATERIAL9& material = state.material;
    Copy(material.Diffuse, shading.materialDiffuse);
    Copy(material.Ambient, shading.materialAmbient);
    Copy(material.Specular, shading.materialSpecular);
    Copy(material.Emissive, shading.materialEmissive);
    Unpack(state.render[D3DRS_AMBIENT], shading.ambientAndPower);
    shading.ambientAndPower[3] = material.Power;
    FillLights(state, shading);

    Unpack(state.render[D3DRS_TEXTUREFACTOR], shading.textureFactor);
    for (DWORD s = 0; s < kStages; ++s) Unpack(state.stage[s][D3DTSS_CONSTANT], shading.stageConstant[s]);
    shading.alphaReference[0] = static_cast<float>(state.render[D3DRS_ALPHAREF] & 0xFF);
}

}  // namespace gl
