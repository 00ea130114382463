// The tree's quad and its device resources.

#include "objects/arbre.h"

#include <cstring>

#include "platform/win32/windows_api.h"
#include "utilities/d3dx_texture.h"
#include "utilities/relacher.h"

namespace {

// A fan (0, 1, 2), (0, 2, 3) in the plane z = 0, x from -1 to 1 and y from 0 to 2, its local
// origin the middle of the bottom edge. The picture's top row is at the top and its left edge at
// x = +1. The normals are never used: lighting is off while the tree is drawn.
constexpr std::array<SommetArbre, 4> kQuad = {{
    {{1.0f, 2.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, 0.0f, 0.0f},
    {{1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, 0.0f, 1.0f},
    {{-1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, 1.0f, 1.0f},
    {{-1.0f, 2.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, 1.0f, 0.0f},
}};

}  // namespace

cArbre::cArbre() : sommets(kQuad) {}

void cArbre::Init(const char* fichier, IDirect3DDevice9** device) {
    Liberer();
    this->device = device;
    IDirect3DDevice9* d3dDevice = Device();
    if (d3dDevice == nullptr) return;

    if (FAILED(D3DXCreateMatrixStack(0, &pileMatrices))) pileMatrices = nullptr;
    if (FAILED(D3DXCreateTextureFromFileA(d3dDevice, fichier, &texture))) texture = nullptr;
    CreerVertexBuffer(d3dDevice);
}

// Filled once through one lock. A buffer that cannot be made is reported like one that cannot be
// filled: either way the tree has nothing to draw.
void cArbre::CreerVertexBuffer(IDirect3DDevice9* d3dDevice) {
    const UINT taille = static_cast<UINT>(nbSommets) * sizeof(SommetArbre);
    if (FAILED(d3dDevice->CreateVertexBuffer(taille, 0, kFvfSommetArbre, D3DPOOL_DEFAULT, &vertexBuffer, nullptr)))
        vertexBuffer = nullptr;
    void* donnees = nullptr;
    if (vertexBuffer != nullptr && SUCCEEDED(vertexBuffer->Lock(0, taille, &donnees, 0)) && donnees != nullptr) {
        std::memcpy(donnees, sommets.data(), taille);
        vertexBuffer->Unlock();
        return;
    }
    MessageBoxA(nullptr, "Erreur remplissage de la mémoire vidéo.", "Error cArbre", MB_ICONWARNING);
    Relacher(vertexBuffer);
}

void cArbre::Liberer() {
    Relacher(texture);
    Relacher(vertexBuffer);
    Relacher(pileMatrices);
}

IDirect3DDevice9* cArbre::Device() const { return device != nullptr ? *device : nullptr; }
