// The material mesh object: its set-up and release, and its drawing.

#include "objects/mesh.h"

#include <algorithm>
#include <vector>

#include "utilities/relacher.h"

namespace {

D3DMATERIAL9 MateriauBlanc() {
    D3DMATERIAL9 blanc{};
    blanc.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    blanc.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    return blanc;
}

}  // namespace

DWORD NombreDeSubsets(ID3DXMesh* mesh) {
    DWORD nbRanges = 0;
    if (mesh == nullptr || FAILED(mesh->GetAttributeTable(nullptr, &nbRanges)) || nbRanges == 0) return 0;
    std::vector<D3DXATTRIBUTERANGE> table(nbRanges);
    if (FAILED(mesh->GetAttributeTable(table.data(), &nbRanges))) return 0;
    DWORD nbSubsets = 0;
    for (DWORD i = 0; i < nbRanges; ++i) nbSubsets = std::max(nbSubsets, table[i].AttribId + 1);
    return nbSubsets;
}

cMesh::~cMesh() { chaine.clear(); }

HRESULT cMesh::Init(IDirect3DDevice9** device, ID3DXMesh* mesh, const D3DMATERIAL9* materiaux,
                    IDirect3DTexture9* const* textures, DWORD nbMateriaux) {
    Liberer();
    const bool tableauxPresents = nbMateriaux == 0 || (materiaux != nullptr && textures != nullptr);
    if (device == nullptr || *device == nullptr || mesh == nullptr || !tableauxPresents ||
        nbMateriaux != NombreDeSubsets(mesh))
        return D3DERR_INVALIDCALL;
    if (FAILED(D3DXCreateMatrixStack(0, &pileMatrices))) {
        pileMatrices = nullptr;
        return E_OUTOFMEMORY;
    }

    this->device = device;
    this->mesh = mesh;
    mesh->AddRef();
    this->materiaux = std::make_unique<D3DMATERIAL9[]>(nbMateriaux);
    this->textures = std::make_unique<IDirect3DTexture9*[]>(nbMateriaux);
    for (DWORD i = 0; i < nbMateriaux; ++i) {
        this->materiaux[i] = materiaux[i];
        this->textures[i] = textures[i];
        if (textures[i] != nullptr) textures[i]->AddRef();
    }
    this->nbMateriaux = nbMateriaux;
    return S_OK;
}

void cMesh::Liberer() {
    for (DWORD i = 0; i < nbMateriaux; ++i) Relacher(textures[i]);
    nbMateriaux = 0;
    textures.reset();
    materiaux.reset();
    Relacher(mesh);
    Relacher(pileMatrices);
    device = nullptr;
}

void cMesh::Dessiner(float x, float y, float z) {
    IDirect3DDevice9* d3dDevice = Device();
    if (d3dDevice == nullptr || mesh == nullptr || pileMatrices == nullptr) return;

    pileMatrices->Push();
    pileMatrices->TranslateLocal(x, y, z);
    d3dDevice->SetTransform(D3DTS_WORLD, pileMatrices->GetTop());
    for (DWORD i = 0; i < nbMateriaux; ++i) DessinerSubset(d3dDevice, i);
    d3dDevice->SetTexture(0, nullptr);
    pileMatrices->Pop();
    d3dDevice->SetTransform(D3DTS_WORLD, pileMatrices->GetTop());

    // Whatever is drawn next with lighting on should not inherit the last subset's colour.
    const D3DMATERIAL9 blanc = MateriauBlanc();
    d3dDevice->SetMaterial(&blanc);
}

void cMesh::DessinerSubset(IDirect3DDevice9* d3dDevice, DWORD i) {
    d3dDevice->SetMaterial(&materiaux[i]);
    d3dDevice->SetTexture(0, textures[i]);
    d3dDevice->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    d3dDevice->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
    d3dDevice->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    d3dDevice->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    d3dDevice->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    mesh->DrawSubset(i);
}

IDirect3DDevice9* cMesh::Device() const { return device != nullptr ? *device : nullptr; }
