// Building the terrain from its height image, and giving it back.

#include "terrain/heighmap.h"

#include <cstdint>
#include <string>

#include "platform/win32/diagnostics.h"
#include "platform/win32/paths.h"
#include "platform/win32/windows_api.h"
#include "terrain/image_pgm.h"
#include "utilities/relacher.h"

namespace {

// The grid is centred by halving its sizes in integers, which only covers every column and row
// when both are even; a cell needs at least two of each; and the indices are 16 bits wide.
bool GrilleAcceptable(INT largeur, INT hauteur) {
    if (largeur < 2 || hauteur < 2 || largeur % 2 != 0 || hauteur % 2 != 0) return false;
    return static_cast<std::int64_t>(largeur) * hauteur <= HeighMap::kSommetsMax;
}

}  // namespace

HRESULT HeighMap::Init(const char* fichier, IDirect3DDevice9** device, float pasX, float pasZ, float echelleY) {
    // A second Init replaces the grid rather than leaking the first one.
    LibererGeometrie();
    // Kept before anything can fail, so that the textures can still be loaded without a grid.
    this->device = device;

    // Read into locals: the object publishes its sizes only once it holds a grid of that size,
    // so that a failed terrain never describes a grid it does not have.
    INT largeur = 0;
    INT hauteur = 0;
    ImageGrise image = ChargerPGM(fichier, &largeur, &hauteur);
    if (!image) return E_FAIL;
    if (!GrilleAcceptable(largeur, hauteur)) {
        win32::Diagnose(win32::PlatformPath(fichier),
                        "unsupported size " + std::to_string(largeur) + " x " + std::to_string(hauteur) +
                            " for a terrain: the width and the height must be even and at least 2, and width x "
                            "height at most " +
                            std::to_string(kSommetsMax) + " (256 x 256, say)");
        MessageBoxA(nullptr, "Dimensions de l'image de relief non supportées.", "Erreur HeighMap", MB_ICONWARNING);
        return E_FAIL;
    }

    nbColonnes = largeur;
    nbLignes = hauteur;
    this->pasX = pasX;
    this->pasZ = pasZ;
    this->echelleY = echelleY;
    ConstruireSommets(image);
    image = ImageGrise();
    ConstruireIndices();
    CalculerNormales();
    CalculerCoordTextures();
    CreerBuffers();
    return S_OK;
}

void HeighMap::Liberer() {
    Relacher(texMasque);
    Relacher(texSol);
    LibererGeometrie();
}

void HeighMap::LibererGeometrie() {
    Relacher(indexBuffer);
    Relacher(vertexBuffer);
    sommets.reset();
    indices.reset();
    nbSommets = 0;
    nbIndices = 0;
    nbColonnes = 0;
    nbLignes = 0;
}

IDirect3DDevice9* HeighMap::Device() const { return device != nullptr ? *device : nullptr; }
