// The device, the scene assembly, the frame with its turning light, the frame-rate text and
// the release step.

#include "app/rendu.h"

#include <cmath>
#include <cstdio>

#include "app/camera.h"
#include "app/fenetre.h"
#include "app/scene.h"
#include "platform/d3d9/device_backend.h"
#include "platform/win32/diagnostics.h"
#include "platform/win32/windows_api.h"
#include "utilities/d3dx_math.h"

namespace {

constexpr D3DCOLOR kCouleurCiel = 0xFFE4FFFF;
constexpr DWORD kFenetreFps = 500;

char g_texteFps[64] = "";

D3DPRESENT_PARAMETERS ParametresPresentation(HWND fenetre) {
    D3DPRESENT_PARAMETERS parametres{};
    parametres.BackBufferWidth = static_cast<UINT>(g_largeurFenetre);
    parametres.BackBufferHeight = static_cast<UINT>(g_hauteurFenetre);
    parametres.BackBufferFormat = D3DFMT_X8R8G8B8;
    parametres.BackBufferCount = 1;
    parametres.MultiSampleType = D3DMULTISAMPLE_NONE;
    parametres.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parametres.hDeviceWindow = fenetre;
    parametres.Windowed = TRUE;
    parametres.EnableAutoDepthStencil = TRUE;
    parametres.AutoDepthStencilFormat = D3DFMT_D24S8;
    parametres.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return parametres;
}

// The hardware device with hardware vertex processing when the hardware transforms and
// lights; otherwise the reference device with software vertex processing.
void ChoisirDevice(D3DDEVTYPE* type, DWORD* traitement) {
    D3DCAPS9 caps{};
    if (SUCCEEDED(g_d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps)) &&
        (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT)) {
        *type = D3DDEVTYPE_HAL;
        *traitement = D3DCREATE_HARDWARE_VERTEXPROCESSING;
    } else {
        *type = D3DDEVTYPE_REF;
        *traitement = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    }
}

template <typename T>
void Liberer(T*& objet) {
    if (objet) objet->Release();
    objet = nullptr;
}

}  // namespace

HRESULT InitDirect3D(HWND fenetre) {
    g_d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!g_d3d) return E_FAIL;

    D3DPRESENT_PARAMETERS parametres = ParametresPresentation(fenetre);
    D3DDEVTYPE type = D3DDEVTYPE_REF;
    DWORD traitement = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    ChoisirDevice(&type, &traitement);
    HRESULT resultat = g_d3d->CreateDevice(D3DADAPTER_DEFAULT, type, fenetre, traitement, &parametres, &g_device);
    // A hardware device that cannot start after all (its programs fail to build, say) has said
    // why on standard error; the reference device then draws the same frames.
    if (FAILED(resultat) && type == D3DDEVTYPE_HAL)
        resultat = g_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_REF, fenetre, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                       &parametres, &g_device);
    if (FAILED(resultat)) {
        g_device = nullptr;
        return E_FAIL;
    }
    // Which device draws, and how: the frame rate in the title means little without it.
    win32::Diagnose("device", d3d9::DescribeDevice(g_device));

    g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    g_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    g_device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    g_device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    g_device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_PHONG);
    g_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    return S_OK;
}

// A terrain that cannot be built makes the whole assembly report failure, after every other
// object has had its chance: the user sees what is missing and the rest of the scene.
HRESULT InitGeometrie() {
    HRESULT resultat = S_OK;
    if (FAILED(g_terrainRoche.Init("Data\\terrain\\terrain_128x128.pgm", &g_device, 0.3f, 0.3f, 0.02f)))
        resultat = E_FAIL;
    g_terrainRoche.ChargerTextures("Data\\terrain\\mask.png", "Data\\terrain\\pierre.png");
    if (FAILED(g_terrainHerbe.Init("Data\\terrain\\terrain_128x128.pgm", &g_device, 0.3f, 0.3f, 0.02f)))
        resultat = E_FAIL;
    g_terrainHerbe.ChargerTextures("Data\\terrain\\mask.png", "Data\\terrain\\herbe.png");
    g_arbre.Init("Data\\arbre\\tree01S.dds", &g_device);
    g_oeil.y = g_terrainRoche.Altitude(g_oeil.x, g_oeil.z) + 1.0f;
    g_listeArbres.Charger("Data\\arbre\\terrain_256x256 arbres.pgm", &g_terrainRoche, 100);
    g_eau.Init("Data\\eau\\caustic\\caust", "jpg", 32, "Data\\eau\\maskeau.png", &g_terrainRoche, &g_device, 0.5f,
               20.0f);
    return resultat;
}

void Rendu() {
    if (!g_device) return;
    g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kCouleurCiel, 1.0f, 0);
    if (SUCCEEDED(g_device->BeginScene())) {
        InitLumiere();
        g_listeArbres.Dessiner(&g_arbre);
        g_terrainRoche.Dessiner(0);
        g_terrainHerbe.Dessiner(1);
        g_eau.Dessiner();
        g_device->EndScene();
    }
    g_device->Present(nullptr, nullptr, nullptr, nullptr);
}

void InitLumiere() {
    D3DMATERIAL9 materiau{};
    materiau.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    materiau.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    g_device->SetMaterial(&materiau);

    D3DLIGHT9 lumiere{};
    lumiere.Type = D3DLIGHT_DIRECTIONAL;
    lumiere.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    lumiere.Range = 1000.0f;
    const float t = static_cast<float>(GetTickCount()) * 0.001f;
    D3DXVECTOR3 direction(std::cos(t), -2.0f, std::sin(t));
    D3DXVec3Normalize(&direction, &direction);
    lumiere.Direction = direction;
    g_device->SetLight(0, &lumiere);
    g_device->LightEnable(0, TRUE);

    g_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    g_device->SetRenderState(D3DRS_AMBIENT, 0x00202020);
}

const char* CalculerFps() {
    static bool premierAppel = true;
    static DWORD prochaineMaj = 0;
    if (premierAppel) {
        prochaineMaj = GetTickCount() + kFenetreFps;
        premierAppel = false;
    }
    ++g_nbImages;
    const DWORD maintenant = GetTickCount();
    // The signed difference keeps the half-second window right across the counter's wrap.
    if (static_cast<INT>(maintenant - prochaineMaj) < 0) return g_texteFps;

    prochaineMaj = maintenant + kFenetreFps;
    const float fps = static_cast<float>(g_nbImages) * 2.0f;
    g_nbImages = 0;
    std::snprintf(g_texteFps, sizeof g_texteFps, "fps : %0.2f", static_cast<double>(fps));
    return g_texteFps;
}

// Safe to reach twice (Escape, then a close before the quit message is read): each object is
// released once and the pointers are left null.
void Nettoyer() {
    g_eau.Liberer();
    g_listeArbres.Liberer();
    g_terrainRoche.Liberer();
    g_terrainHerbe.Liberer();
    g_arbre.Liberer();
    Liberer(g_device);
    Liberer(g_d3d);
}
