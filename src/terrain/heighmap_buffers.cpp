// The grid on the device: one static vertex buffer and one 16-bit index buffer, each filled once
// through a single lock. The main-memory copies stay for the height query.

#include <cstring>

#include "platform/win32/windows_api.h"
#include "terrain/heighmap.h"
#include "utilities/relacher.h"

namespace {

// Locks the whole of a freshly made buffer and lets `ecrire` fill it. A buffer that was not made
// is never locked; one that cannot be locked is given back. False in both cases, buffer null.
template <typename Buffer, typename Ecrire>
bool Remplir(Buffer*& buffer, UINT taille, Ecrire ecrire) {
    void* donnees = nullptr;
    if (buffer != nullptr && SUCCEEDED(buffer->Lock(0, taille, &donnees, 0)) && donnees != nullptr) {
        ecrire(donnees);
        buffer->Unlock();
        return true;
    }
    Relacher(buffer);
    return false;
}

}  // namespace

void HeighMap::CreerBuffers() {
    IDirect3DDevice9* d3dDevice = Device();
    // Without vertices there is nothing to index, so a failed vertex buffer stops here.
    if (CreerVertexBuffer(d3dDevice)) CreerIndexBuffer(d3dDevice);
}

bool HeighMap::CreerVertexBuffer(IDirect3DDevice9* d3dDevice) {
    const UINT taille = static_cast<UINT>(nbSommets) * sizeof(SommetTerrain);
    if (d3dDevice == nullptr ||
        FAILED(d3dDevice->CreateVertexBuffer(taille, 0, kFvfSommetTerrain, D3DPOOL_DEFAULT, &vertexBuffer, nullptr)))
        vertexBuffer = nullptr;
    const bool rempli =
        Remplir(vertexBuffer, taille, [&](void* donnees) { std::memcpy(donnees, sommets.get(), taille); });
    if (!rempli) MessageBoxA(nullptr, "Erreur remplissage de la mémoire vidéo.", "Error HeighMap", MB_ICONWARNING);
    return rempli;
}

void HeighMap::CreerIndexBuffer(IDirect3DDevice9* d3dDevice) {
    const UINT taille = static_cast<UINT>(nbIndices) * sizeof(WORD);
    if (FAILED(d3dDevice->CreateIndexBuffer(taille, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &indexBuffer, nullptr)))
        indexBuffer = nullptr;
    // The grid has at most 65536 vertices, so every index fits its low 16 bits.
    const bool rempli = Remplir(indexBuffer, taille, [&](void* donnees) {
        WORD* sortie = static_cast<WORD*>(donnees);
        for (INT i = 0; i < nbIndices; ++i) sortie[i] = static_cast<WORD>(indices[i]);
    });
    if (!rempli) MessageBoxA(nullptr, "Erreur de la re-copie de l'IndexBuffer", "Erreur HeighMap", MB_ICONWARNING);
}
