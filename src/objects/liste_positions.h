#pragma once
// A list of world positions and the drawing of one object at each of them. The scene fills its one
// list from the tree map: bright pixels mark wooded ground, the terrain gives the heights.

#include <memory>

#include "objects/objet.h"
#include "terrain/heighmap.h"
#include "terrain/image_pgm.h"
#include "utilities/d3dx_math.h"

class cListePositions {
public:
    // A pixel must be brighter than this to carry a position.
    static constexpr BYTE kSeuilClair = 50;

    cListePositions() = default;
    cListePositions(const cListePositions&) = delete;
    cListePositions& operator=(const cListePositions&) = delete;

    // Fills the list with min(nbMax, bright pixels) positions on distinct bright pixels of the
    // grey-level map `fichier`, drawn from the process-wide sequence (objects/tirage.h), column
    // first. The map is stretched over the terrain's extent, centred on the origin, its first row
    // at the most negative z; each height is the terrain's Altitude there.
    //
    // An unreadable map (the reader tells the user) or a null terrain leaves the list empty. A
    // second call replaces the first list.
    void Charger(const char* fichier, const HeighMap* terrain, INT nbMax);

    // Draws `objet` at every position, in order. Nothing for an empty or released list.
    void Dessiner(cObjet* objet) const;

    // Gives both arrays back; the counts keep their values. Safe to call more than once.
    void Liberer();

    // The positions, nbPositions of them, in world coordinates.
    std::unique_ptr<D3DXVECTOR3[]> positions;
    INT nbPositions = 0;
    // The map's pixels, kept after the fill with the chosen pixels cleared to 0.
    ImageGrise carte;
    INT tailleCarte = 0;

private:
    void Placer(const HeighMap& terrain, INT largeur, INT hauteur);
};
