#pragma once
// The global scene objects, constructed at start-up in the order of globals.cpp.

#include "terrain/heighmap.h"

extern HeighMap g_terrainRoche;
extern HeighMap g_terrainHerbe;
