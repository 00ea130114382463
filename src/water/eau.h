#pragma once
// The water: one flat quad at a fixed height over the whole terrain, blended over what is already
// drawn. A mask on stage 0 says where the water shows and how strongly; a caustic pattern on stage
// 1 repeats over the quad and steps through its images at 25 a second.

#include <memory>

#include "platform/d3d9/d3d9_api.h"
#include "terrain/heighmap.h"

// One vertex as the device reads it: D3DFVF_XYZ | D3DFVF_TEX2, 28 bytes.
struct SommetEau {
    D3DVECTOR position;
    float uvMasque[2];     // set 0: the mask, once over the quad
    float uvCaustique[2];  // set 1: the caustics, repeated
};
inline constexpr DWORD kFvfSommetEau = D3DFVF_XYZ | D3DFVF_TEX2;
static_assert(sizeof(SommetEau) == 28, "the vertex buffer stride is 28 bytes");

class cEau {
public:
    cEau() = default;
    cEau(const cEau&) = delete;
    cEau& operator=(const cEau&) = delete;
    // Gives nothing back: the device may already be gone when the globals are destroyed.
    ~cEau() = default;

    // Builds the quad over `terrain`'s extent (± count × spacing / 2) at height hauteurEau, the
    // caustics repeated `repetition` times along each side, and loads the caustic images
    // "<prefixe><i>.<extension>" for i from 0 to nbCaustiques − 1 and the mask. An image that
    // cannot be loaded leaves its stage untextured when its turn comes. A vertex buffer that
    // cannot be made or filled is reported to the user; the water then loads nothing and draws
    // nothing. `device` is the address of the application's device pointer, read anew at every
    // call. A second Init replaces the first one's resources.
    void Init(const char* prefixe, const char* extension, INT nbCaustiques, const char* fichierMasque,
              const HeighMap* terrain, IDirect3DDevice9** device, float hauteurEau, float repetition);

    // Steps the caustic animation and draws the quad with the current transforms, between
    // BeginScene and EndScene. Lighting is put back as it was and blending turned off; stages 0
    // and 1 are left empty. The stage-0 operations come from whoever drew before (the terrain).
    void Dessiner();

    // Gives back the mask, every caustic image and the buffer. Safe to call more than once.
    void Liberer();

    IDirect3DDevice9** device = nullptr;
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    IDirect3DTexture9* texMasque = nullptr;
    // nbCaustiques entries, any of which may be null.
    std::unique_ptr<IDirect3DTexture9*[]> texCaustiques;
    INT nbCaustiques = 0;

    // The image shown for animation index `indice`: an object given fewer images than the cycle
    // takes them in turn again, so no index reaches past the array. Null when there is none.
    IDirect3DTexture9* Caustique(INT indice) const;

private:
    bool CreerVertexBuffer(IDirect3DDevice9* d3dDevice, const HeighMap& terrain, float hauteurEau, float repetition);
    void ChargerCaustiques(IDirect3DDevice9* d3dDevice, const char* prefixe, const char* extension, INT nombre);
    void PoserEtats(IDirect3DDevice9* d3dDevice, INT indice);
    IDirect3DDevice9* Device() const;
};
