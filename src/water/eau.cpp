// The water's quad and its textures.

#include "water/eau.h"

#include <cstring>
#include <string>

#include "platform/win32/windows_api.h"
#include "utilities/d3dx_texture.h"
#include "utilities/relacher.h"

namespace {

// The mask spans the quad once, u growing towards −x and v towards −z; the caustic image repeats
// `r` times along each side. Seen from above, both triangles of the fan run clockwise, like the
// terrain's, so that the upper face shows under the scene's culling.
void ConstruireQuad(SommetEau quad[4], float hx, float hz, float h, float r) {
    quad[0] = {{+hx, h, +hz}, {0.0f, 0.0f}, {0.0f, 0.0f}};
    quad[1] = {{+hx, h, -hz}, {0.0f, 1.0f}, {0.0f, r}};
    quad[2] = {{-hx, h, -hz}, {1.0f, 1.0f}, {r, r}};
    quad[3] = {{-hx, h, +hz}, {1.0f, 0.0f}, {r, 0.0f}};
}

IDirect3DTexture9* Texture(IDirect3DDevice9* d3dDevice, const char* fichier) {
    IDirect3DTexture9* texture = nullptr;
    if (FAILED(D3DXCreateTextureFromFileA(d3dDevice, fichier, &texture))) return nullptr;
    return texture;
}

}  // namespace

void cEau::Init(const char* prefixe, const char* extension, INT nbCaustiques, const char* fichierMasque,
                const HeighMap* terrain, IDirect3DDevice9** device, float hauteurEau, float repetition) {
    Liberer();
    this->device = device;
    IDirect3DDevice9* d3dDevice = Device();
    if (d3dDevice == nullptr || terrain == nullptr) return;
    if (!CreerVertexBuffer(d3dDevice, *terrain, hauteurEau, repetition)) return;
    ChargerCaustiques(d3dDevice, prefixe, extension, nbCaustiques);
    texMasque = Texture(d3dDevice, fichierMasque);
}

// Filled once through one lock. A buffer that cannot be made is reported like one that cannot be
// filled: either way there is no water to draw.
bool cEau::CreerVertexBuffer(IDirect3DDevice9* d3dDevice, const HeighMap& terrain, float hauteurEau, float repetition) {
    const float hx = static_cast<float>(terrain.nbColonnes) * terrain.pasX * 0.5f;
    const float hz = static_cast<float>(terrain.nbLignes) * terrain.pasZ * 0.5f;
    SommetEau quad[4];
    ConstruireQuad(quad, hx, hz, hauteurEau, repetition);

    constexpr UINT kTaille = sizeof quad;
    if (FAILED(d3dDevice->CreateVertexBuffer(kTaille, 0, kFvfSommetEau, D3DPOOL_DEFAULT, &vertexBuffer, nullptr)))
        vertexBuffer = nullptr;
    void* donnees = nullptr;
    if (vertexBuffer != nullptr && SUCCEEDED(vertexBuffer->Lock(0, kTaille, &donnees, 0)) && donnees != nullptr) {
        std::memcpy(donnees, quad, kTaille);
        vertexBuffer->Unlock();
        return true;
    }
    MessageBoxA(nullptr, "Erreur remplissage de la mémoire vidéo.", "Error cEau", MB_ICONWARNING);
    Relacher(vertexBuffer);
    return false;
}

// The names are built without a length limit, so a long prefix is never cut into another name.
void cEau::ChargerCaustiques(IDirect3DDevice9* d3dDevice, const char* prefixe, const char* extension, INT nombre) {
    if (nombre <= 0 || prefixe == nullptr || extension == nullptr) return;
    texCaustiques = std::make_unique<IDirect3DTexture9*[]>(static_cast<std::size_t>(nombre));
    nbCaustiques = nombre;
    for (INT i = 0; i < nombre; ++i) {
        const std::string nom = std::string(prefixe) + std::to_string(i) + "." + extension;
        texCaustiques[i] = Texture(d3dDevice, nom.c_str());
    }
}

void cEau::Liberer() {
    Relacher(texMasque);
    for (INT i = 0; i < nbCaustiques; ++i) Relacher(texCaustiques[i]);
    texCaustiques.reset();
    nbCaustiques = 0;
    Relacher(vertexBuffer);
}

IDirect3DTexture9* cEau::Caustique(INT indice) const {
    if (!texCaustiques || nbCaustiques <= 0 || indice < 0) return nullptr;
    return texCaustiques[indice % nbCaustiques];
}

IDirect3DDevice9* cEau::Device() const { return device != nullptr ? *device : nullptr; }
