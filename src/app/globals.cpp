// The process-wide state of the viewer, in one place. The scene objects are constructed here,
// in this order, before WinMain runs; their constructors touch neither the device nor a file.

#include "app/camera.h"
#include "app/fenetre.h"
#include "app/rendu.h"
#include "app/scene.h"

HWND g_fenetre = nullptr;
INT g_largeurFenetre = 800;
INT g_hauteurFenetre = 600;

IDirect3D9* g_d3d = nullptr;
IDirect3DDevice9* g_device = nullptr;
INT g_nbImages = 0;

D3DXVECTOR3 g_oeil(0.0f, 0.0f, 0.0f);
D3DXVECTOR3 g_cible(0.0f, 0.0f, 1.0f);
D3DXVECTOR3 g_haut(0.0f, 1.0f, 0.0f);
float g_angleH = 1.5707964f;
float g_angleV = 0.0f;

cMesh g_mesh;
HeighMap g_terrainRoche;
HeighMap g_terrainHerbe;
cArbre g_arbre;
cListePositions g_listeArbres;
cEau g_eau;
