#pragma once
// A tree: a textured picture on two upright quads crossed at right angles along their vertical
// centre line, 2 units wide and 2 high, standing on the point it is drawn at. Texels whose alpha
// is below 8 are cut out by the alpha test, so the picture's background does not show.

#include <array>

#include "objects/objet.h"
#include "utilities/d3dx_math.h"
#include "utilities/d3dx_matrix_stack.h"

// One vertex as the device reads it: D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, 32 bytes.
struct SommetArbre {
    D3DVECTOR position;
    D3DVECTOR normale;
    float u;
    float v;
};
inline constexpr DWORD kFvfSommetArbre = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
static_assert(sizeof(SommetArbre) == 32, "the vertex buffer stride is 32 bytes");

class cArbre : public cObjet {
public:
    // The quad in memory; no device call, so the scene's tree can exist before the device.
    cArbre();
    // Gives nothing back: the device may already be gone when the globals are destroyed.
    ~cArbre() override = default;

    // Makes the matrix stack, loads the texture `fichier` (a file that cannot be loaded leaves the
    // tree untextured) and fills the vertex buffer. A buffer that cannot be made or filled is
    // reported to the user and left null; the tree is then never drawn. `device` is the address
    // of the application's device pointer, read anew at every call. A second Init replaces the
    // first one's resources.
    void Init(const char* fichier, IDirect3DDevice9** device);

    // Draws the two quads standing at (x, y, z), between BeginScene and EndScene. Lighting and
    // culling are put back as they were; the alpha test is left off, sampler 0 clamped, stage 0
    // empty, and the world transform at the identity. Skipped whole, touching no state, when
    // Init did not give the tree its buffer and stack.
    void Dessiner(float x, float y, float z) override;

    // Gives back the texture, the buffer and the stack. Safe to call more than once.
    void Liberer();

    std::array<SommetArbre, 4> sommets;
    INT nbSommets = 4;
    IDirect3DDevice9** device = nullptr;
    IDirect3DTexture9* texture = nullptr;
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    ID3DXMatrixStack* pileMatrices = nullptr;

private:
    void CreerVertexBuffer(IDirect3DDevice9* d3dDevice);
    void DessinerQuads(IDirect3DDevice9* d3dDevice, float x, float y, float z);
    IDirect3DDevice9* Device() const;
};
