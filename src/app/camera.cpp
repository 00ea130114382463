// The free-flying camera: start-up transforms, projection on resize, keyboard and mouse steps.

#include "app/camera.h"

#include <cmath>

#include "app/fenetre.h"
#include "app/rendu.h"
#include "platform/win32/windows_api.h"

namespace {

constexpr float kChampVertical = 1.0471976f;  // 60 degrees
constexpr float kPlanProche = 0.1f;
constexpr float kPlanLointain = 1000.0f;
constexpr float kVitesseParMs = 0.05f;
constexpr float kRadiansParPixel = 0.0005f;

bool Enfoncee(int touche) { return (GetKeyState(touche) & 0x8000) != 0; }

void PoserVue() {
    if (!g_device) return;
    D3DXMATRIX vue;
    D3DXMatrixLookAtRH(&vue, &g_oeil, &g_cible, &g_haut);
    g_device->SetTransform(D3DTS_VIEW, &vue);
}

void PoserProjection(INT largeur, INT hauteur) {
    D3DXMATRIX projection;
    const float aspect = static_cast<float>(largeur) / static_cast<float>(hauteur);
    D3DXMatrixPerspectiveFovRH(&projection, kChampVertical, aspect, kPlanProche, kPlanLointain);
    g_device->SetTransform(D3DTS_PROJECTION, &projection);
}

}  // namespace

D3DXVECTOR3 DirectionVue() {
    return D3DXVECTOR3(std::cos(g_angleV) * std::cos(g_angleH), std::sin(g_angleV),
                       std::cos(g_angleV) * std::sin(g_angleH));
}

void InitMatrices() {
    D3DXMATRIX monde;
    D3DXMatrixIdentity(&monde);
    g_device->SetTransform(D3DTS_WORLD, &monde);
    PoserVue();
    PoserProjection(g_largeurFenetre, g_hauteurFenetre);
}

void DefinirProjection(INT largeur, INT hauteur) {
    g_largeurFenetre = largeur;
    g_hauteurFenetre = hauteur;
    // A minimised window reports a zero height: its projection would never be seen, and the
    // next real size sets the right one.
    if (hauteur == 0 || !g_device) return;
    PoserProjection(largeur, hauteur);
}

void GererClavier() {
    static bool premierPassage = true;
    static DWORD dernierTemps = 0;
    if (premierPassage) {
        dernierTemps = GetTickCount();
        premierPassage = false;
    }
    const DWORD maintenant = GetTickCount();
    const float vitesse = static_cast<float>(maintenant - dernierTemps) * kVitesseParMs;
    const D3DXVECTOR3 d = DirectionVue();

    if (Enfoncee(VK_DOWN)) g_oeil -= d * vitesse;
    if (Enfoncee(VK_UP)) g_oeil += d * vitesse;
    if (Enfoncee(VK_LEFT)) {
        g_oeil.x += std::sin(g_angleH) * vitesse;
        g_oeil.z -= std::cos(g_angleH) * vitesse;
    }
    if (Enfoncee(VK_RIGHT)) {
        g_oeil.x -= std::sin(g_angleH) * vitesse;
        g_oeil.z += std::cos(g_angleH) * vitesse;
    }
    g_cible = g_oeil + d;
    PoserVue();
    dernierTemps = maintenant;
}

void GererSouris() {
    POINT curseur{};
    GetCursorPos(&curseur);
    RECT cadre{};
    GetWindowRect(g_fenetre, &cadre);
    const LONG cx = (cadre.right - cadre.left) / 2;
    const LONG cy = (cadre.bottom - cadre.top) / 2;

    g_angleH += static_cast<float>(curseur.x - cx) * kRadiansParPixel;
    g_angleV += static_cast<float>(cy - curseur.y) * kRadiansParPixel;
    g_cible = g_oeil + DirectionVue();
    SetCursorPos(cx, cy);
    PoserVue();
}
