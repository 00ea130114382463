// The grid in main memory: positions, triangles, normals and texture coordinates.

#include "terrain/heighmap.h"
#include "terrain/image_pgm.h"

// Column c and row r come from pixel (c, r) and sit at index r × W + c. Halving in integers puts
// the origin on vertex (W/2, H/2), with one spacing more on the negative side; the first image
// row lies at the most negative z.
void HeighMap::ConstruireSommets(const ImageGrise& image) {
    nbSommets = nbColonnes * nbLignes;
    sommets = std::make_unique<SommetTerrain[]>(static_cast<std::size_t>(nbSommets));
    for (INT r = 0; r < nbLignes; ++r) {
        for (INT c = 0; c < nbColonnes; ++c) {
            const INT i = r * nbColonnes + c;
            sommets[i].position = {static_cast<float>(c - nbColonnes / 2) * pasX,
                                   static_cast<float>(image[static_cast<std::size_t>(i)]) * echelleY,
                                   static_cast<float>(r - nbLignes / 2) * pasZ};
        }
    }
}

// Two triangles per cell, each clockwise seen from above, so that the upper faces survive the
// scene's culling.
void HeighMap::ConstruireIndices() {
    nbIndices = 6 * (nbColonnes - 1) * (nbLignes - 1);
    indices = std::make_unique<INT[]>(static_cast<std::size_t>(nbIndices));
    INT* sortie = indices.get();
    for (INT r = 0; r + 1 < nbLignes; ++r) {
        for (INT c = 0; c + 1 < nbColonnes; ++c) {
            const INT cetteLigne = r * nbColonnes + c;          // (r, c)
            const INT ligneSuivante = cetteLigne + nbColonnes;  // (r + 1, c)
            const INT cellule[6] = {cetteLigne,    ligneSuivante,     cetteLigne + 1,
                                    ligneSuivante, ligneSuivante + 1, cetteLigne + 1};
            for (INT indice : cellule) *sortie++ = indice;
        }
    }
}

// Each vertex gets the normalised sum of the unit normals of its triangles: every triangle weighs
// the same whatever its area. A sum of zero stays zero.
void HeighMap::CalculerNormales() {
    for (INT i = 0; i < nbSommets; ++i) sommets[i].normale = {};
    for (INT t = 0; t < nbIndices; t += 3) {
        SommetTerrain& a = sommets[indices[t]];
        SommetTerrain& b = sommets[indices[t + 1]];
        SommetTerrain& c = sommets[indices[t + 2]];
        Vecteur3 n = b.position - a.position;
        n.ProduitVectoriel(n, c.position - a.position);
        n.Normaliser();
        a.normale += n;
        b.normale += n;
        c.normale += n;
    }
    for (INT i = 0; i < nbSommets; ++i) sommets[i].normale.Normaliser();
}

// The mask spans the grid once, so its last column and row stop one step short of 1. The ground
// coordinates are world distances, so the ground texture repeats every 1 / pas vertices; they are
// accumulated step by step along each row and down the rows.
void HeighMap::CalculerCoordTextures() {
    for (INT r = 0; r < nbLignes; ++r) {
        for (INT c = 0; c < nbColonnes; ++c) {
            sommets[r * nbColonnes + c].uvMasque = {static_cast<float>(c) / static_cast<float>(nbColonnes),
                                                    static_cast<float>(r) / static_cast<float>(nbLignes)};
        }
    }
    float v = 0.0f;
    for (INT r = 0; r < nbLignes; ++r, v += pasZ) {
        float u = 0.0f;
        for (INT c = 0; c < nbColonnes; ++c, u += pasX) sommets[r * nbColonnes + c].uvSol = {u, v};
    }
}
