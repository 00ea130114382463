#pragma once
// The global scene objects, constructed at start-up in the order of globals.cpp.

#include "objects/arbre.h"
#include "objects/liste_positions.h"
#include "objects/mesh.h"
#include "terrain/heighmap.h"
#include "water/eau.h"

extern cMesh g_mesh;
extern HeighMap g_terrainRoche;
extern HeighMap g_terrainHerbe;
extern cArbre g_arbre;
extern cListePositions g_listeArbres;
extern cEau g_eau;
