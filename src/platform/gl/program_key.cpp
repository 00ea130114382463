#include "platform/gl/program_key.h"

#include <cstring>

namespace gl {
namespace {

constexpr int kMaxLights = 8;

bool ReadsArgument(DWORD op, int argument) {
    switch (op) {
        case D3DTOP_DISABLE:
            return false;
        case D3DTOP_SELECTARG1:
            return argument == 1;
        case D3DTOP_SELECTARG2:
            return argument == 2;
        case D3DTOP_MULTIPLYADD:
        case D3DTOP_LERP:
            return true;
        default:
            return argument != 0;
    }
}

// Operations that read the stage's texture alpha whatever their arguments are.
bool ReadsTextureAlpha(DWORD op) { return op == D3DTOP_BLENDTEXTUREALPHA || op == D3DTOP_BLENDTEXTUREALPHAPM; }

// Copies the arguments the operation reads; true when one of them is the stage's texture.
bool KeepArguments(DWORD op, const DWORD args[3], std::uint8_t out[3]) {
    bool texture = ReadsTextureAlpha(op);
    for (int a = 0; a < 3; ++a) {
        if (!ReadsArgument(op, a)) continue;
        out[a] = static_cast<std::uint8_t>(args[a]);
        texture = texture || (args[a] & D3DTA_SELECTMASK) == D3DTA_TEXTURE;
    }
    return texture;
}

std::uint8_t Source(DWORD materialSource, bool colourVertex, const device_common::VertexLayout& layout) {
    if (!colourVertex) return kFromMaterial;
    if (materialSource == D3DMCS_COLOR1 && layout.diffuse >= 0) return kFromDiffuse;
    if (materialSource == D3DMCS_COLOR2 && layout.specular >= 0) return kFromSpecular;
    return kFromMaterial;
}

bool Black(const D3DCOLORVALUE& colour) { return colour.r == 0.0f && colour.g == 0.0f && colour.b == 0.0f; }

// Whether the specular lighting can come out other than black: some light has a specular colour,
// and the colour it multiplies is a vertex's or a material's that is not black.
bool SpecularCanShow(const device_common::ApiState& state, std::uint8_t specularSource) {
    if (specularSource == kFromMaterial && Black(state.material.Specular)) return false;
    int lights = 0;
    for (const device_common::LightSlot& slot : state.lights) {
        if (!slot.enabled || slot.light.Type != D3DLIGHT_DIRECTIONAL || lights == kMaxLights) continue;
        ++lights;
        if (!Black(slot.light.Specular)) return true;
    }
    return false;
}

void KeyVertexPart(const device_common::ApiState& state, const device_common::VertexLayout& layout, ProgramKey& key) {
    const auto& rs = state.render;
    key.flatShading = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    key.lighting = rs[D3DRS_LIGHTING] != FALSE;
    if (!key.lighting) {
        key.vertexDiffuse = layout.diffuse >= 0;
        key.vertexSpecular = layout.specular >= 0;
        return;
    }
    key.lightCount = static_cast<std::uint8_t>(ActiveLightCount(state));
    key.vertexNormal = layout.normal >= 0;
    key.normalizeNormals = key.vertexNormal && rs[D3DRS_NORMALIZENORMALS] != FALSE;
    const bool colourVertex = rs[D3DRS_COLORVERTEX] != FALSE;
    key.diffuseSource = Source(rs[D3DRS_DIFFUSEMATERIALSOURCE], colourVertex, layout);
    key.ambientSource = Source(rs[D3DRS_AMBIENTMATERIALSOURCE], colourVertex, layout);
    key.emissiveSource = Source(rs[D3DRS_EMISSIVEMATERIALSOURCE], colourVertex, layout);
    // Specular lighting that can only be black is left out: it would add nothing to any pixel.
    const std::uint8_t specularSource = Source(rs[D3DRS_SPECULARMATERIALSOURCE], colourVertex, layout);
    key.specularLighting = rs[D3DRS_SPECULARENABLE] != FALSE && SpecularCanShow(state, specularSource);
    key.specularSource = key.specularLighting ? specularSource : 0;
    key.localViewer = key.specularLighting && rs[D3DRS_LOCALVIEWER] != FALSE;
}

void KeyStage(const device_common::ApiState& state, const device_common::VertexLayout& layout, DWORD s, bool textured,
              StageKey& stage) {
    const auto& ts = state.stage[s];
    stage.colourOp = static_cast<std::uint8_t>(ts[D3DTSS_COLOROP]);
    // With the colour enabled, a disabled alpha operation lets the alpha pass through.
    DWORD alphaOp = ts[D3DTSS_ALPHAOP] == D3DTOP_DISABLE ? D3DTOP_SELECTARG1 : ts[D3DTSS_ALPHAOP];
    const DWORD colourArgs[3] = {ts[D3DTSS_COLORARG0], ts[D3DTSS_COLORARG1], ts[D3DTSS_COLORARG2]};
    DWORD alphaArgs[3] = {ts[D3DTSS_ALPHAARG0], ts[D3DTSS_ALPHAARG1], ts[D3DTSS_ALPHAARG2]};
    if (ts[D3DTSS_ALPHAOP] == D3DTOP_DISABLE) alphaArgs[1] = D3DTA_CURRENT;
    stage.alphaOp = static_cast<std::uint8_t>(alphaOp);
    bool samples = KeepArguments(stage.colourOp, colourArgs, stage.colourArg);
    samples = KeepArguments(alphaOp, alphaArgs, stage.alphaArg) || samples;
    stage.resultToTemp = ts[D3DTSS_RESULTARG] == D3DTA_TEMP;
    if (!samples) return;
    stage.samples = 1;
    stage.textured = textured;
    if (!textured) return;
    const DWORD set = ts[D3DTSS_TEXCOORDINDEX] & 0xFFFF;
    const bool present = static_cast<int>(set) < layout.texCoordCount && layout.texCoordSize[set] >= 2;
    stage.texCoordSet = present ? static_cast<std::uint8_t>(set) : kNoTexCoords;
}

// An operation that leaves the current value as it is: selecting it, or modulating it with the
// opaque white that a stage without a texture reads.
bool PassesThrough(std::uint8_t op, const std::uint8_t args[3], bool whiteTexture) {
    const auto current = [](std::uint8_t a) { return a == D3DTA_CURRENT; };
    const auto white = [whiteTexture](std::uint8_t a) { return whiteTexture && a == D3DTA_TEXTURE; };
    switch (op) {
        case D3DTOP_SELECTARG1:
            return current(args[1]);
        case D3DTOP_SELECTARG2:
            return current(args[2]);
        case D3DTOP_MODULATE:
            return (current(args[1]) && white(args[2])) || (white(args[1]) && current(args[2]));
        default:
            return false;
    }
}

// A stage after the first that changes nothing draws like no stage at all. Scenes leave such
// stages behind (the water's modulate by a texture since unbound): the same program serves.
bool ChangesNothing(const StageKey& stage) {
    const bool white = stage.samples && !stage.textured;
    return !stage.resultToTemp && PassesThrough(stage.colourOp, stage.colourArg, white) &&
           PassesThrough(stage.alphaOp, stage.alphaArg, white);
}

}  // namespace

std::size_t ProgramKeyHash::operator()(const ProgramKey& key) const {
    unsigned char bytes[sizeof key];
    std::memcpy(bytes, &key, sizeof key);
    std::uint64_t hash = 0xcbf29ce484222325ull;  // FNV-1a
    for (unsigned char b : bytes) hash = (hash ^ b) * 0x100000001b3ull;
    return static_cast<std::size_t>(hash);
}

int ActiveLightCount(const device_common::ApiState& state) {
    int count = 0;
    for (const device_common::LightSlot& slot : state.lights)
        if (slot.enabled && slot.light.Type == D3DLIGHT_DIRECTIONAL && count < kMaxLights) ++count;
    return count;
}

ProgramKey MakeProgramKey(const device_common::ApiState& state, const device_common::VertexLayout& layout,
                          const bool textured[kStages]) {
    ProgramKey key;
    std::memset(&key, 0, sizeof key);
    KeyVertexPart(state, layout, key);
    for (DWORD s = 0; s < kStages && state.stage[s][D3DTSS_COLOROP] != D3DTOP_DISABLE; ++s) {
        KeyStage(state, layout, s, textured[s], key.stages[s]);
        ++key.stageCount;
    }
    while (key.stageCount > 1 && ChangesNothing(key.stages[key.stageCount - 1]))
        std::memset(&key.stages[--key.stageCount], 0, sizeof(StageKey));
    const auto& rs = state.render;
    // The specular colour is added only where it can be other than black.
    key.addSpecular =
        rs[D3DRS_SPECULARENABLE] != FALSE && (key.lighting ? key.specularLighting : key.vertexSpecular) != 0;
    if (rs[D3DRS_ALPHATESTENABLE] != FALSE) {
        // ALWAYS, and values outside the API's, test nothing: no code for them.
        const DWORD function = rs[D3DRS_ALPHAFUNC];
        if (function >= D3DCMP_NEVER && function < D3DCMP_ALWAYS) key.alphaTest = static_cast<std::uint8_t>(function);
    }
    return key;
}

}  // namespace gl
