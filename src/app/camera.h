#pragma once
// The free-flying camera: its state, the start-up transforms, and the keyboard and mouse steps.

#include "utilities/d3dx_math.h"

extern D3DXVECTOR3 g_oeil;
extern D3DXVECTOR3 g_cible;
extern D3DXVECTOR3 g_haut;
extern float g_angleH;
extern float g_angleV;

void InitMatrices();
void DefinirProjection(INT largeur, INT hauteur);
void GererClavier();
void GererSouris();

// The unit view direction for the current angles.
D3DXVECTOR3 DirectionVue();
