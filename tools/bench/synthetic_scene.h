#pragma once
// A stand-in for the viewer's scene while the application does not assemble its own: the same
// amount of work, drawn with the same device calls and states. A 128 x 128 terrain at spacing
// 0.3 drawn in two lit, two-texture trilinear blended passes through a mask; 100 crossed,
// alpha-tested tree quads (200 draws); a blended two-texture water quad at height 0.5 whose
// caustic steps through 32 textures. All content is generated here.

#include <vector>

#include "platform/d3d9/d3d9_api.h"
#include "utilities/d3dx_math.h"

namespace bench {

class SyntheticScene {
public:
    // Creates every resource on `device`; false if one could not be made.
    bool Create(IDirect3DDevice9* device);
    void Release();

    // Ground height at (x, z), as the viewer's terrain answers it at grid vertices.
    float GroundHeight(float x, float z) const;

    // One whole frame, presented: the viewer's frame with the given view and the clock in ms.
    void DrawFrame(const D3DXMATRIX& view, const D3DXMATRIX& projection, DWORD milliseconds);

private:
    bool CreateTerrain();
    bool CreateTrees();
    bool CreateWater();
    void DrawTrees();
    void DrawTerrainPass(IDirect3DTexture9* ground, bool second);
    void DrawWater(DWORD milliseconds);

    IDirect3DDevice9* device_ = nullptr;
    std::vector<float> heights_;  // row by row
    IDirect3DVertexBuffer9* terrainVertices_ = nullptr;
    IDirect3DIndexBuffer9* terrainIndices_ = nullptr;
    UINT terrainVertexCount_ = 0;
    UINT terrainTriangleCount_ = 0;
    IDirect3DTexture9* mask_ = nullptr;
    IDirect3DTexture9* rock_ = nullptr;
    IDirect3DTexture9* grass_ = nullptr;
    IDirect3DVertexBuffer9* treeVertices_ = nullptr;
    IDirect3DTexture9* tree_ = nullptr;
    std::vector<D3DXVECTOR3> treePositions_;
    IDirect3DVertexBuffer9* waterVertices_ = nullptr;
    IDirect3DTexture9* waterMask_ = nullptr;
    std::vector<IDirect3DTexture9*> caustics_;
};

}  // namespace bench
