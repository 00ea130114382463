#pragma once
// The values the generated programs read, in two uniform blocks shared by every program, laid
// out by std140's rules (each member a multiple of 16 bytes here). Matrices keep Direct3D's row
// order in memory: GLSL reads each row as a column, so `M * v` is Direct3D's row-vector v x M.

#include <cstddef>

#include "platform/device_common/api_state.h"
#include "platform/gl/caps.h"

namespace gl {

constexpr int kMaxLights = 8;

// What changes from one draw to the next: the object's place.
struct TransformConstants {
    float worldViewProjection[16];
    float worldView[16];
    float normalMatrix[16];  // inverse transpose of world x view, in the upper 3 x 3
};

// What a frame sets once or a few times: the viewport, the lights, the material, the stages.
struct ShadingConstants {
    // Per unit of w, in normalised device coordinates: moves Direct3D 9's pixel centres (on
    // integer coordinates) onto GL's (half-way), minus a little so that an edge through a pixel
    // centre falls on the side Direct3D's top-left rule puts it.
    float pixelAdjust[4];
    float materialDiffuse[4];
    float materialAmbient[4];
    float materialSpecular[4];
    float materialEmissive[4];
    float ambientAndPower[4];             // global ambient rgb, material power
    float lightDirection[kMaxLights][4];  // towards the light, eye space, unit length
    float lightDiffuse[kMaxLights][4];
    float lightSpecular[kMaxLights][4];
    float lightAmbient[kMaxLights][4];
    float textureFactor[4];
    float stageConstant[kStages][4];
    float alphaReference[4];  // x: 0 to 255
};

// Two blocks, so that a draw that only moves the object uploads only its matrices.
struct Constants {
    TransformConstants transform;
    ShadingConstants shading;
};
static_assert(sizeof(TransformConstants) % 16 == 0 && sizeof(ShadingConstants) % 16 == 0);

// The uniform buffer binding of each block.
constexpr unsigned kTransformBinding = 0;
constexpr unsigned kShadingBinding = 1;

// The blocks as the programs declare them, member for member. A block that a stage declares is
// that stage's whether it reads it or not, so the pixel stage, which never reads the transform,
// does not declare it: a draw that only moves the object then changes the vertex stage's
// constants alone.
extern const char* const kTransformBlockSource;
extern const char* const kShadingBlockSource;

// The constants for a draw with `state`.
void FillConstants(const device_common::ApiState& state, Constants& constants);

}  // namespace gl
