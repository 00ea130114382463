// The vertex stage: Direct3D's transform into GL's clip space, the fixed-function lighting of
// directional lights with the material and its colour sources, and each stage's coordinates.
#include <string>

#include "platform/gl/constants.h"
#include "platform/gl/program_source.h"

namespace gl {
namespace {

const char* const kSafeNormalize = R"(vec3 safeNormalize(vec3 v) {
    float length = length(v);
    return length > 0.0 ? v / length : v;
}
)";

bool UsesSource(const ProgramKey& key, ColourSource source) {
    if (!key.lighting) return source == kFromDiffuse ? key.vertexDiffuse : key.vertexSpecular;
    return key.diffuseSource == source || key.ambientSource == source || key.specularSource == source ||
           key.emissiveSource == source;
}

std::string Inputs(const ProgramKey& key) {
    std::string s = "layout(location = 0) in vec3 inPosition;\n";
    if (key.lighting && key.vertexNormal) s += "layout(location = 1) in vec3 inNormal;\n";
    if (UsesSource(key, kFromDiffuse)) s += "layout(location = 2) in vec4 inDiffuse;\n";
    if (UsesSource(key, kFromSpecular)) s += "layout(location = 3) in vec4 inSpecular;\n";
    bool declared[8] = {};
    for (int s2 = 0; s2 < key.stageCount; ++s2) {
        const StageKey& stage = key.stages[s2];
        if (!HasTexCoords(stage) || stage.texCoordSet == kNoTexCoords || declared[stage.texCoordSet]) continue;
        declared[stage.texCoordSet] = true;
        const std::string set = std::to_string(stage.texCoordSet);
        s += "layout(location = " + std::to_string(kTexCoordAttribute + stage.texCoordSet) + ") in vec2 inTexCoord" +
             set + ";\n";
    }
    return s;
}

std::string SourceColour(std::uint8_t source, const char* material) {
    if (source == kFromDiffuse) return "inDiffuse";
    if (source == kFromSpecular) return "inSpecular";
    return material;
}

std::string LightLoop(const ProgramKey& key) {
    std::string s = "    for (int i = 0; i < " + std::to_string(key.lightCount) + R"(; ++i) {
        ambientSum += lightAmbient[i].rgb;
        float nDotL = dot(normal, lightDirection[i].xyz);
)";
    // A light behind the surface adds nothing; without a highlight to skip as well, a
    // multiplication by zero says so without a branch.
    if (!key.specularLighting) return s + "        diffuseSum += lightDiffuse[i].rgb * max(nDotL, 0.0);\n    }\n";
    s += R"(        if (nDotL <= 0.0) continue;
        diffuseSum += lightDiffuse[i].rgb * nDotL;
        float nDotH = dot(normal, safeNormalize(lightDirection[i].xyz + towardsEye));
        if (nDotH > 0.0)
            specularSum += lightSpecular[i].rgb * (ambientAndPower.a > 0.0 ? pow(nDotH, ambientAndPower.a) : 1.0);
)";
    return s + "    }\n";
}

std::string Lighting(const ProgramKey& key) {
    std::string s =
        key.vertexNormal ? "    vec3 normal = mat3(normalMatrix) * inNormal;\n" : "    vec3 normal = vec3(0.0);\n";
    if (key.normalizeNormals) s += "    normal = safeNormalize(normal);\n";
    s += "    vec4 diffuseColour = " + SourceColour(key.diffuseSource, "materialDiffuse") + ";\n";
    s += "    vec4 ambientColour = " + SourceColour(key.ambientSource, "materialAmbient") + ";\n";
    s += "    vec4 emissiveColour = " + SourceColour(key.emissiveSource, "materialEmissive") + ";\n";
    s += "    vec3 ambientSum = ambientAndPower.rgb;\n    vec3 diffuseSum = vec3(0.0);\n";
    if (key.specularLighting) {
        s += "    vec4 specularColour = " + SourceColour(key.specularSource, "materialSpecular") + ";\n";
        s += "    vec3 specularSum = vec3(0.0);\n";
        // Without a local viewer the eye is taken as infinitely far along the view axis.
        s += key.localViewer ? "    vec3 towardsEye = safeNormalize(-(worldView * position).xyz);\n"
                             : "    vec3 towardsEye = vec3(0.0, 0.0, 1.0);\n";
    }
    if (key.lightCount > 0) s += LightLoop(key);
    s += "    vDiffuse = vec4(clamp(ambientColour.rgb * ambientSum + diffuseColour.rgb * diffuseSum + "
         "emissiveColour.rgb, 0.0, 1.0), clamp(diffuseColour.a, 0.0, 1.0));\n";
    if (key.specularLighting) s += "    vSpecular = vec4(clamp(specularColour.rgb * specularSum, 0.0, 1.0), 0.0);\n";
    return s;
}

std::string Unlit(const ProgramKey& key) {
    // The vertex colours pass through; without them, the pixel stage has its constants.
    std::string s = key.vertexDiffuse ? "    vDiffuse = inDiffuse;\n" : "";
    if (key.vertexSpecular) s += "    vSpecular = vec4(inSpecular.rgb, 0.0);\n";
    return s;
}

std::string TexCoords(const ProgramKey& key) {
    std::string s;
    for (int i = 0; i < key.stageCount; ++i) {
        const StageKey& stage = key.stages[i];
        if (!HasTexCoords(stage)) continue;
        s += "    vTexCoord" + std::to_string(i) + " = ";
        s += stage.texCoordSet == kNoTexCoords ? std::string("vec2(0.0)")
                                               : "inTexCoord" + std::to_string(stage.texCoordSet);
        s += ";\n";
    }
    return s;
}

}  // namespace

std::string InterfaceSource(const ProgramKey& key, const char* direction) {
    // Flat shading takes the colours of the first vertex, as Direct3D does.
    const std::string colour = std::string(key.flatShading ? "flat " : "") + direction + " vec4 ";
    const bool pixelStage = std::string(direction) == "in";
    std::string s;
    if (!DiffuseIsWhite(key))
        s += colour + "vDiffuse;\n";
    else if (pixelStage)
        s += "const vec4 vDiffuse = vec4(1.0);\n";
    if (!SpecularIsBlack(key))
        s += colour + "vSpecular;\n";
    else if (pixelStage)
        s += "const vec4 vSpecular = vec4(0.0);\n";
    for (int i = 0; i < key.stageCount; ++i)
        if (HasTexCoords(key.stages[i])) s += std::string(direction) + " vec2 vTexCoord" + std::to_string(i) + ";\n";
    return s;
}

std::string VertexShaderSource(const ProgramKey& key) {
    std::string s = "#version 330 core\n";
    s += kTransformBlockSource;
    s += kShadingBlockSource;
    s += Inputs(key);
    s += InterfaceSource(key, "out");
    if (key.lighting) s += kSafeNormalize;
    // Direct3D's clip space becomes GL's: y turns over, since the frame's rows are stored top row
    // first; depth goes from [0, w] to [-w, w]; and the pixel centres move (see pixelAdjust).
    s += R"(void main() {
    vec4 position = vec4(inPosition, 1.0);
    vec4 clip = worldViewProjection * position;
    gl_Position = vec4(clip.x + pixelAdjust.x * clip.w, -clip.y + pixelAdjust.y * clip.w, 2.0 * clip.z - clip.w, clip.w);
)";
    s += key.lighting ? Lighting(key) : Unlit(key);
    s += TexCoords(key);
    return s + "}\n";
}

}  // namespace gl
