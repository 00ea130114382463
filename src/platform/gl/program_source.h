#pragma once
// GLSL 3.30 for a program key: the vertex stage (transform, lighting, texture coordinates) and
// the pixel stage (texture stages, specular, alpha test) of the fixed-function pipeline.

#include <string>

#include "platform/gl/program_key.h"

namespace gl {

// Vertex attribute locations, one per element of a flexible vertex format.
constexpr unsigned kPositionAttribute = 0;
constexpr unsigned kNormalAttribute = 1;
constexpr unsigned kDiffuseAttribute = 2;
constexpr unsigned kSpecularAttribute = 3;
constexpr unsigned kTexCoordAttribute = 4;  // set n at kTexCoordAttribute + n
constexpr unsigned kAttributeCount = kTexCoordAttribute + 8;

std::string VertexShaderSource(const ProgramKey& key);
std::string FragmentShaderSource(const ProgramKey& key);

// The values that the stages pass from one to the other, as declared by either side.
std::string InterfaceSource(const ProgramKey& key, const char* direction);

// Colours that are the same at every vertex, whatever the vertices: unlit without vertex colours,
// the diffuse colour is opaque white; the specular colour is black without specular lighting (or,
// unlit, without vertex specular). The pixel stage holds such a colour as a constant instead of
// having it interpolated.
inline bool DiffuseIsWhite(const ProgramKey& key) { return !key.lighting && !key.vertexDiffuse; }
inline bool SpecularIsBlack(const ProgramKey& key) {
    return key.lighting ? !key.specularLighting : !key.vertexSpecular;
}

// Whether stage s reads texture coordinates from the vertex stage.
inline bool HasTexCoords(const StageKey& stage) { return stage.samples && stage.textured; }

}  // namespace gl
