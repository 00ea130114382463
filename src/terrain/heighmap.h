#pragma once
// The terrain: a regular grid of lit, textured triangles built from a grey-level height image,
// kept in main memory for the height query and in device buffers for drawing. The scene holds two
// of them over the same image, one per ground texture, and draws them as two blended passes.

#include <memory>

#include "platform/d3d9/d3d9_api.h"
#include "terrain/vecteur3.h"

class ImageGrise;

struct CoordTexture {
    float u = 0.0f;
    float v = 0.0f;
};

// One vertex as the device reads it: D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2, 40 bytes.
struct SommetTerrain {
    Vecteur3 position;
    Vecteur3 normale;
    CoordTexture uvMasque;  // set 0: the mask, stretched once over the grid
    CoordTexture uvSol;     // set 1: the ground texture, repeated
};
inline constexpr DWORD kFvfSommetTerrain = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2;
static_assert(sizeof(SommetTerrain) == 40, "the vertex buffer stride is 40 bytes");

class HeighMap {
public:
    // 16-bit indices address at most this many vertices.
    static constexpr INT kSommetsMax = 65536;

    HeighMap() = default;
    HeighMap(const HeighMap&) = delete;
    HeighMap& operator=(const HeighMap&) = delete;
    // Gives nothing back: the device may already be gone when the globals are destroyed, so the
    // application calls Liberer before it releases the device.
    ~HeighMap() = default;

    // Builds the grid from the height image `fichier`: vertex (c, r) from pixel (c, r), centred
    // on the origin, heights sample × echelleY. `device` is the address of the application's
    // device pointer, read anew at every device call.
    //
    // E_FAIL when the image cannot be read, or when its width or height is odd, below 2, or makes
    // more than kSommetsMax vertices (the user is told); the object then stays empty: no grid, no
    // buffers, zero counts. S_OK otherwise, also when the device buffers could not be made (the
    // user has been told, and the object draws nothing).
    HRESULT Init(const char* fichier, IDirect3DDevice9** device, float pasX, float pasZ, float echelleY);

    // The mask (stage 0) and the ground texture (stage 1). A file that cannot be made into a
    // texture leaves its stage without one.
    void ChargerTextures(const char* fichierMasque, const char* fichierSol);

    // Ground height at world (x, z), blended over the cell below it; 0 beyond the grid and when
    // the object holds no grid.
    float Altitude(float x, float z) const;

    // One pass, between BeginScene and EndScene: the first (secondePasse zero) writes ground ×
    // light × mask alpha over whatever is there; the second blends its ground in where the mask
    // is transparent. Leaves blending off and stages 0 and 1 and the indices unbound. Draws
    // nothing when the object has no buffers.
    void Dessiner(int secondePasse);

    // Gives back textures, buffers and arrays. Safe to call more than once.
    void Liberer();

    // The tree placement and the water read nbColonnes, nbLignes, pasX and pasZ; the height query
    // reads sommets.
    std::unique_ptr<SommetTerrain[]> sommets;
    INT nbSommets = 0;
    std::unique_ptr<INT[]> indices;
    INT nbIndices = 0;
    IDirect3DDevice9** device = nullptr;
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    IDirect3DTexture9* texMasque = nullptr;
    IDirect3DTexture9* texSol = nullptr;
    INT nbColonnes = 0;
    INT nbLignes = 0;
    float pasX = 0.0f;
    float pasZ = 0.0f;
    float echelleY = 0.0f;

private:
    void ConstruireSommets(const ImageGrise& image);
    void ConstruireIndices();
    void CalculerNormales();
    void CalculerCoordTextures();
    void CreerBuffers();
    bool CreerVertexBuffer(IDirect3DDevice9* d3dDevice);
    void CreerIndexBuffer(IDirect3DDevice9* d3dDevice);
    void LibererGeometrie();
    // The device behind `device`, or null when there is none yet.
    IDirect3DDevice9* Device() const;
};
