#pragma once
// The fixed-function vertex stage: world, view and projection in the row-vector convention,
// directional lighting with the material and colour sources, the texture coordinate sets the
// stages read, and the viewport transform with snapping for vertices that need no clipping.

#include "platform/device_common/api_state.h"
#include "platform/device_common/vertex_layout.h"
#include "platform/reference/frame.h"

namespace reference {

constexpr int kMaxActiveLights = 8;

struct VertexSetup {
    device_common::VertexLayout layout;
    float positionMatrix[4][4];  // world x view x projection
    float eyeMatrix[4][4];       // world x view, for the lighting
    float normalMatrix[3][3];    // inverse transpose of the eye matrix
    bool lighting;
    bool normalizeNormals;
    bool specular;
    bool localViewer;
    int lightCount;
    struct Light {
        float toLight[3];  // unit vector towards the light, eye space
        float diffuse[3];
        float specular[3];
        float ambient[3];
    } lights[kMaxActiveLights];
    float globalAmbient[3];
    // Where each material colour comes from: -1 the material, else a vertex byte offset.
    int diffuseSource, ambientSource, specularSource, emissiveSource;
    D3DMATERIAL9 material;
    int texCoordSource[device_common::kDrawnStages];  // vertex byte offset of each stage's set, -1 none
    // Viewport and guard band.
    float viewportX, viewportY, halfWidth, halfHeight, minZ, depthScale;
    float guardX, guardY;  // |x| <= guardX * w and |y| <= guardY * w stay unclipped
};

// False when the vertex format cannot be drawn.
bool PrepareVertexStage(const device_common::ApiState& state, VertexSetup& setup);

// Whether every vertex comes out with a black specular colour: lit with a black specular
// material, or unlit from vertices that carry no specular colour. Adding it then changes nothing.
bool ShadesBlackSpecular(const VertexSetup& setup);

// Shades `count` vertices `stride` bytes apart.
void RunVertexStage(const VertexSetup& setup, const std::uint8_t* vertices, UINT stride, UINT count, ShadedVertex* out);

// Projects a vertex that lies inside every clip plane: fills its screen position and depth.
void ProjectToScreen(const VertexSetup& setup, ShadedVertex& vertex);

// The clip planes a homogeneous position lies outside of.
std::uint32_t Outcodes(const VertexSetup& setup, const float clip[4]);

// Signed distance of a position to clip plane `plane` (a single kOutside* bit); inside >= 0.
float PlaneDistance(const VertexSetup& setup, std::uint32_t plane, const float clip[4]);

}  // namespace reference
