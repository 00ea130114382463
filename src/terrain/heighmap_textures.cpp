// The terrain's two textures. Kept apart from drawing so that programs which never load a texture
// do not pull in the texture loader.

#include "terrain/heighmap.h"
#include "utilities/d3dx_texture.h"
#include "utilities/relacher.h"

namespace {

// A file that cannot be made into a texture leaves the stage without one; drawing goes on.
IDirect3DTexture9* Texture(IDirect3DDevice9* d3dDevice, const char* fichier) {
    IDirect3DTexture9* texture = nullptr;
    if (d3dDevice == nullptr || FAILED(D3DXCreateTextureFromFileA(d3dDevice, fichier, &texture))) return nullptr;
    return texture;
}

}  // namespace

void HeighMap::ChargerTextures(const char* fichierMasque, const char* fichierSol) {
    // Loading again replaces the textures instead of leaking them.
    Relacher(texMasque);
    Relacher(texSol);
    texMasque = Texture(Device(), fichierMasque);
    texSol = Texture(Device(), fichierSol);
}
