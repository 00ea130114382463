#pragma once
// The state that changes the code of a generated program, packed into a key that starts zeroed
// and records only what the program depends on (an argument that the operation does not read,
// texture coordinates of a stage that samples nothing, stay zero). Programs are cached by the
// key's bytes; colours, matrices and the alpha reference travel as constants instead.

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "platform/device_common/api_state.h"
#include "platform/device_common/vertex_layout.h"
#include "platform/gl/caps.h"

namespace gl {

// Where a lighting colour comes from.
enum ColourSource : std::uint8_t { kFromMaterial = 0, kFromDiffuse = 1, kFromSpecular = 2 };

constexpr std::uint8_t kNoTexCoords = 0xFF;

struct StageKey {
    std::uint8_t colourOp;      // a D3DTOP value; stages from the first DISABLE on are not in the key
    std::uint8_t colourArg[3];  // arg0, arg1, arg2: D3DTA values with their modifiers
    std::uint8_t alphaOp;
    std::uint8_t alphaArg[3];
    std::uint8_t resultToTemp;  // the result goes to the temporary register, not to current
    std::uint8_t samples;       // an argument reads this stage's texture
    std::uint8_t textured;      // a texture is bound (without one, the texture reads opaque white)
    std::uint8_t texCoordSet;   // the vertex set the stage samples with, kNoTexCoords if the vertex lacks it

    bool operator==(const StageKey&) const = default;
};

struct ProgramKey {
    // Vertex part.
    std::uint8_t lighting;
    std::uint8_t lightCount;
    std::uint8_t normalizeNormals;
    std::uint8_t specularLighting;
    std::uint8_t localViewer;
    std::uint8_t vertexNormal;
    std::uint8_t diffuseSource, ambientSource, specularSource, emissiveSource;
    std::uint8_t vertexDiffuse;  // unlit: the vertex carries its colours
    std::uint8_t vertexSpecular;
    std::uint8_t flatShading;
    // Pixel part.
    std::uint8_t stageCount;
    StageKey stages[kStages];
    std::uint8_t addSpecular;
    std::uint8_t alphaTest;  // a D3DCMP function, 0 when the test is off

    bool operator==(const ProgramKey&) const = default;
};
static_assert(std::has_unique_object_representations_v<ProgramKey>, "keys are hashed and compared byte by byte");

struct ProgramKeyHash {
    std::size_t operator()(const ProgramKey& key) const;
};

// The key of a draw with `state` on vertices of `layout`; `textured[s]` says whether stage s
// has a texture bound.
ProgramKey MakeProgramKey(const device_common::ApiState& state, const device_common::VertexLayout& layout,
                          const bool textured[kStages]);

// The number of enabled lights the program will light with (directional ones, at most 8).
int ActiveLightCount(const device_common::ApiState& state);

}  // namespace gl
