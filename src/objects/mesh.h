#pragma once
// An object made of a mesh with one material and one texture per subset, drawn with its local
// origin at a world point. Like the tree, it can be handed to a position list.

#include <memory>
#include <string>

#include "objects/objet.h"
#include "utilities/d3dx_matrix_stack.h"
#include "utilities/d3dx_mesh.h"

class cMesh : public cObjet {
public:
    cMesh() = default;
    // Gives nothing back: the device may already be gone when the globals are destroyed.
    ~cMesh() override;

    // Takes a reference to `mesh` and to each texture, copies the nbMateriaux materials and
    // textures (entry i for subset i; a texture may be null) and makes the object's matrix stack.
    // D3DERR_INVALIDCALL, with the object left empty, for a null device or mesh, null arrays with
    // a non-zero count, or a count that is not the mesh's number of subsets (its highest
    // attribute identifier plus one, 0 for an empty table); E_OUTOFMEMORY when the stack cannot
    // be made. A second Init replaces the first.
    HRESULT Init(IDirect3DDevice9** device, ID3DXMesh* mesh, const D3DMATERIAL9* materiaux,
                 IDirect3DTexture9* const* textures, DWORD nbMateriaux);

    // Draws every subset in ascending order, each with its material and texture on stage 0
    // (wrapping, linear filtering), under the world transform of a translation to (x, y, z). No
    // render state is touched. Leaves stage 0 empty, the material plain white and the world
    // transform at the stack's top (the identity). Nothing at all for an object never given a
    // mesh.
    void Dessiner(float x, float y, float z) override;

    // Gives back the mesh, the textures and the stack, and empties the object. Safe to call more
    // than once.
    void Liberer();

    IDirect3DDevice9** device = nullptr;
    ID3DXMesh* mesh = nullptr;
    std::unique_ptr<D3DMATERIAL9[]> materiaux;
    std::unique_ptr<IDirect3DTexture9*[]> textures;
    DWORD nbMateriaux = 0;
    ID3DXMatrixStack* pileMatrices = nullptr;
    // Free for the owner's use (a name, say); the object itself never reads it.
    std::string chaine;

private:
    void DessinerSubset(IDirect3DDevice9* d3dDevice, DWORD i);
    IDirect3DDevice9* Device() const;
};

// The number of subsets of `mesh`: its highest attribute identifier plus one, 0 when its table is
// empty or cannot be read.
DWORD NombreDeSubsets(ID3DXMesh* mesh);
