#pragma once
// The per-draw state that the rasteriser and the pixel kernels read: a compact copy of the
// API state taken when the draw was issued, so that later state calls cannot reach it.

#include <cstdint>
#include <cstring>

#include "platform/reference/sampled_texture.h"

namespace reference {

// Which channels of a colour something reads: StageState::sampled, and what the samplers fetch.
enum ReadChannels : std::uint8_t { kRgb = 1, kAlpha = 2 };

struct StageState {
    std::uint8_t colourOp;
    std::uint8_t alphaOp;
    std::uint8_t colourArg1;
    std::uint8_t colourArg2;
    std::uint8_t alphaArg1;
    std::uint8_t alphaArg2;
    std::uint8_t texCoordSet;  // which interpolated set (0 or 1) the stage samples with
    std::uint8_t sampled;      // texture channels an argument reads: kRgb, kAlpha, both or none
    std::uint8_t colourLive;   // a later stage or the output reads this stage's colour
    std::uint8_t alphaLive;    // ... or its alpha
};

struct SamplerSetup {
    std::uint8_t addressU;
    std::uint8_t addressV;
    std::uint8_t magFilter;
    std::uint8_t minFilter;
    std::uint8_t mipFilter;
    std::uint8_t firstLevel;  // the largest level used (MAXMIPLEVEL, LOD)
    std::uint8_t pad[2];
    float lodBias;
};

struct PixelState {
    // Rasterisation.
    std::uint8_t flatShading;
    std::uint8_t wireframe;
    // Depth.
    std::uint8_t depthTest;
    std::uint8_t depthWrite;
    std::uint8_t depthFunc;
    // Alpha test and blending.
    std::uint8_t alphaTest;
    std::uint8_t alphaFunc;
    std::uint8_t blend;
    std::uint8_t srcBlend;
    std::uint8_t destBlend;
    std::uint8_t addSpecular;
    std::uint8_t stageCount;     // enabled stages, 0 to 2
    std::uint8_t keepDestAlpha;  // the back buffer has an alpha channel
    std::uint8_t pad[3];
    std::uint32_t alphaRef;
    std::uint32_t colourWriteMask;  // bits of an A8R8G8B8 word that may change
    std::uint32_t textureFactor;
    StageState stages[2];
    SamplerSetup samplers[2];
    const SampledTexture* textures[2];  // null when the stage has no texture
    // Viewport, in pixels (right and bottom exclusive), and its depth range.
    int viewportX0, viewportY0, viewportX1, viewportY1;
    float minZ, maxZ;

    // Captured states are compared byte for byte, so every byte, padding included, is set.
    bool SameAs(const PixelState& other) const { return std::memcmp(this, &other, sizeof(PixelState)) == 0; }
};

}  // namespace reference
