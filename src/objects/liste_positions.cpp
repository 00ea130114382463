#include "objects/liste_positions.h"

#include <algorithm>
#include <cstdint>

#include "objects/tirage.h"
#include "terrain/image_pgm.h"

namespace {

// Only the samples the file held can be bright: the others are 0.
INT CompterPixelsClairs(const ImageGrise& carte) {
    return static_cast<INT>(std::count_if(carte.Lus(), carte.Lus() + carte.NbLus(),
                                          [](BYTE p) { return p > cListePositions::kSeuilClair; }));
}

// The world coordinate of map cell `indice` out of `taille`: the map is stretched over the
// terrain's nbSommets × pas world units, its centre cell at 0. In double, rounded to float only
// when stored.
float VersMonde(INT indice, INT taille, INT nbSommets, float pas) {
    const double moitieCarte = static_cast<double>(taille) * 0.5;
    const double moitieTerrain = static_cast<double>(nbSommets) * static_cast<double>(pas) / 2.0;
    return static_cast<float>((static_cast<double>(indice) - moitieCarte) * moitieTerrain / moitieCarte);
}

// The generator's state after each attempt (two draws) comes back to where it started after 2^31
// attempts; if the bright pixels left have not been hit by then, they never will be.
constexpr std::uint32_t kEssaisMax = 1u << 31;

}  // namespace

void cListePositions::Charger(const char* fichier, const HeighMap* terrain, INT nbMax) {
    // Filling again replaces the earlier arrays instead of leaking them.
    Liberer();
    nbPositions = 0;
    tailleCarte = 0;
    if (terrain == nullptr) return;

    INT largeur = 0;
    INT hauteur = 0;
    carte = ChargerPGM(fichier, &largeur, &hauteur);
    // The reader has told the user; an empty list draws nothing.
    if (!carte) return;
    tailleCarte = largeur * hauteur;

    // Never more positions than bright pixels, so that the drawing below always ends.
    nbPositions = std::clamp(nbMax, 0, CompterPixelsClairs(carte));
    positions = std::make_unique<D3DXVECTOR3[]>(static_cast<std::size_t>(nbPositions));
    Placer(*terrain, largeur, hauteur);
}

void cListePositions::Placer(const HeighMap& terrain, INT largeur, INT hauteur) {
    GenerateurCongruentiel& generateur = GenerateurDesPositions();
    INT places = 0;
    for (std::uint32_t essai = 0; places < nbPositions && essai < kEssaisMax; ++essai) {
        const INT u = IndiceTire(generateur.Suivant(), largeur);
        const INT v = IndiceTire(generateur.Suivant(), hauteur);
        const std::size_t pixel = static_cast<std::size_t>(v) * static_cast<std::size_t>(largeur) + u;
        if (carte[pixel] <= kSeuilClair) continue;

        const float x = VersMonde(u, largeur, terrain.nbColonnes, terrain.pasX);
        const float z = VersMonde(v, hauteur, terrain.nbLignes, terrain.pasZ);
        positions[places++] = D3DXVECTOR3(x, terrain.Altitude(x, z), z);
        // Cleared so that no two positions share a pixel.
        carte.Ecrire(pixel, 0);
    }
    nbPositions = places;
}

void cListePositions::Dessiner(cObjet* objet) const {
    if (objet == nullptr || !positions) return;
    for (INT i = 0; i < nbPositions; ++i) objet->Dessiner(positions[i].x, positions[i].y, positions[i].z);
}

void cListePositions::Liberer() {
    carte = ImageGrise();
    positions.reset();
}
