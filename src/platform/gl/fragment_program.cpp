// The pixel stage: the texture stages in order, each result clamped to [0, 1] as the fixed
// pipeline does, then the specular colour, then the alpha test on the 8-bit alpha.
#include <string>

#include "platform/gl/constants.h"
#include "platform/gl/program_source.h"

namespace gl {
namespace {

// An argument's value (`alpha`: its alpha only), with its modifiers applied.
std::string Argument(std::uint8_t argument, int stage, bool alpha) {
    std::string value;
    switch (argument & D3DTA_SELECTMASK) {
        case D3DTA_DIFFUSE:
            value = "vDiffuse";
            break;
        case D3DTA_TEXTURE:
            value = "texel" + std::to_string(stage);
            break;
        case D3DTA_TFACTOR:
            value = "textureFactor";
            break;
        case D3DTA_SPECULAR:
            value = "vSpecular";
            break;
        case D3DTA_TEMP:
            value = "temp";
            break;
        case D3DTA_CONSTANT:
            value = "stageConstant[" + std::to_string(stage) + "]";
            break;
        default:
            value = "current";
            break;
    }
    value += alpha || (argument & D3DTA_ALPHAREPLICATE) ? ".aaa" : ".rgb";
    if (argument & D3DTA_COMPLEMENT) value = "(1.0 - " + value + ")";
    return alpha ? value + ".x" : value;
}

// The operation on the arguments; `alpha` picks the one-channel form.
std::string Operation(std::uint8_t op, const std::uint8_t args[3], int stage, bool alpha) {
    const std::string a0 = Argument(args[0], stage, alpha), a1 = Argument(args[1], stage, alpha),
                      a2 = Argument(args[2], stage, alpha);
    const std::string texel = "texel" + std::to_string(stage);
    const auto blend = [&](const std::string& factor) { return "mix(" + a2 + ", " + a1 + ", " + factor + ")"; };
    switch (op) {
        case D3DTOP_SELECTARG2:
            return a2;
        case D3DTOP_MODULATE:
            return a1 + " * " + a2;
        case D3DTOP_MODULATE2X:
            return a1 + " * " + a2 + " * 2.0";
        case D3DTOP_MODULATE4X:
            return a1 + " * " + a2 + " * 4.0";
        case D3DTOP_ADD:
            return a1 + " + " + a2;
        case D3DTOP_ADDSIGNED:
            return a1 + " + " + a2 + " - 0.5";
        case D3DTOP_ADDSIGNED2X:
            return "(" + a1 + " + " + a2 + " - 0.5) * 2.0";
        case D3DTOP_SUBTRACT:
            return a1 + " - " + a2;
        case D3DTOP_ADDSMOOTH:
            return a1 + " + " + a2 + " - " + a1 + " * " + a2;
        case D3DTOP_BLENDDIFFUSEALPHA:
            return blend("vDiffuse.a");
        case D3DTOP_BLENDTEXTUREALPHA:
            return blend(texel + ".a");
        case D3DTOP_BLENDFACTORALPHA:
            return blend("textureFactor.a");
        case D3DTOP_BLENDCURRENTALPHA:
            return blend("current.a");
        case D3DTOP_BLENDTEXTUREALPHAPM:
            return a1 + " + " + a2 + " * (1.0 - " + texel + ".a)";
        case D3DTOP_DOTPRODUCT3: {
            const std::string dot = "dot((" + Argument(args[1], stage, false) + " - 0.5) * 2.0, (" +
                                    Argument(args[2], stage, false) + " - 0.5) * 2.0)";
            return alpha ? dot : "vec3(" + dot + ")";
        }
        case D3DTOP_MULTIPLYADD:
            return a0 + " + " + a1 + " * " + a2;
        case D3DTOP_LERP:
            return "mix(" + a2 + ", " + a1 + ", " + a0 + ")";
        default:
            return a1;  // SELECTARG1, and operations this device does not offer
    }
}

// Every argument lies in [0, 1] (colours, texels of unsigned normalised formats, and earlier
// results, which are clamped), and selecting or multiplying such values cannot leave it: the
// clamp that the fixed pipeline applies to a result is only written where the operation can.
bool StaysInRange(std::uint8_t op) {
    return op == D3DTOP_SELECTARG1 || op == D3DTOP_SELECTARG2 || op == D3DTOP_MODULATE;
}

std::string Clamped(std::uint8_t op, const std::string& value) {
    return StaysInRange(op) ? value : "clamp(" + value + ", 0.0, 1.0)";
}

std::string Stage(const ProgramKey& key, int s) {
    const StageKey& stage = key.stages[s];
    const std::string n = std::to_string(s);
    std::string code = "    // stage " + n + "\n";
    if (stage.samples)
        code += stage.textured ? "    vec4 texel" + n + " = texture(texture" + n + ", vTexCoord" + n + ");\n"
                               : "    vec4 texel" + n + " = vec4(1.0);\n";
    code += "    vec3 colour" + n + " = " +
            Clamped(stage.colourOp, Operation(stage.colourOp, stage.colourArg, s, false)) + ";\n";
    // A dot product goes to all four channels, whatever the alpha operation says.
    const std::string alpha = stage.colourOp == D3DTOP_DOTPRODUCT3
                                  ? "colour" + n + ".r"
                                  : Clamped(stage.alphaOp, Operation(stage.alphaOp, stage.alphaArg, s, true));
    code +=
        "    " + std::string(stage.resultToTemp ? "temp" : "current") + " = vec4(colour" + n + ", " + alpha + ");\n";
    return code;
}

const char* Comparison(std::uint8_t function) {
    switch (function) {
        case D3DCMP_NEVER:
            return "false";
        case D3DCMP_LESS:
            return "alpha < alphaReference.x";
        case D3DCMP_EQUAL:
            return "alpha == alphaReference.x";
        case D3DCMP_LESSEQUAL:
            return "alpha <= alphaReference.x";
        case D3DCMP_GREATER:
            return "alpha > alphaReference.x";
        case D3DCMP_NOTEQUAL:
            return "alpha != alphaReference.x";
        case D3DCMP_GREATEREQUAL:
            return "alpha >= alphaReference.x";
        default:
            return "true";
    }
}

}  // namespace

std::string FragmentShaderSource(const ProgramKey& key) {
    std::string s = "#version 330 core\n";
    s += kShadingBlockSource;
    s += InterfaceSource(key, "in");
    for (int i = 0; i < key.stageCount; ++i)
        if (HasTexCoords(key.stages[i])) s += "uniform sampler2D texture" + std::to_string(i) + ";\n";
    s += "layout(location = 0) out vec4 fragmentColour;\n";
    s += "void main() {\n    vec4 current = vDiffuse;\n    vec4 temp = vec4(0.0);\n";
    for (int i = 0; i < key.stageCount; ++i) s += Stage(key, i);
    if (key.addSpecular) s += "    current.rgb = clamp(current.rgb + vSpecular.rgb, 0.0, 1.0);\n";
    if (key.alphaTest != 0) {
        // Direct3D compares the alpha as the 8-bit value it is stored as.
        s += "    float alpha = floor(clamp(current.a, 0.0, 1.0) * 255.0 + 0.5);\n";
        s += std::string("    if (!(") + Comparison(key.alphaTest) + ")) discard;\n";
    }
    return s + "    fragmentColour = current;\n}\n";
}

}  // namespace gl
