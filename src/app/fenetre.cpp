// Process entry, the main window and its procedure, and the main loop.

#include "app/fenetre.h"

#include "app/camera.h"
#include "app/rendu.h"

namespace {

const char* const kClasse = "Direct3D Sample";
const char* const kTitre = "Projet Direct3D : Quenolde - 2004/2005";

void EnregistrerClasse(HINSTANCE instance) {
    WNDCLASSEXA classe{};
    classe.cbSize = 48;
    classe.style = CS_CLASSDC;
    classe.lpfnWndProc = ProcFenetre;
    classe.hInstance = instance;
    classe.lpszClassName = kClasse;
    RegisterClassExA(&classe);
}

// Runs until a pass has retrieved WM_QUIT. When no message is waiting, one idle pass: camera,
// frame, frame-rate title. Never sleeps.
void BouclePrincipale(HWND fenetre) {
    MSG message{};
    do {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else {
            GererClavier();
            GererSouris();
            Rendu();
            SetWindowTextA(fenetre, CalculerFps());
        }
    } while (message.message != WM_QUIT);
}

}  // namespace

int WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    EnregistrerClasse(instance);
    g_fenetre = CreateWindowExA(0, kClasse, kTitre, WS_OVERLAPPEDWINDOW, 100, 100, g_largeurFenetre, g_hauteurFenetre,
                                GetDesktopWindow(), nullptr, instance, nullptr);
    ShowCursor(FALSE);
    SetCursorPos(g_largeurFenetre / 2, g_hauteurFenetre / 2);

    if (FAILED(InitDirect3D(g_fenetre))) {
        MessageBoxA(nullptr, "Init Direct3D", "Erreur", MB_OK);
    } else {
        InitMatrices();
        if (FAILED(InitGeometrie())) MessageBoxA(nullptr, "Init Géométrie", "Erreur", MB_OK);
        ShowWindow(g_fenetre, SW_SHOWDEFAULT);
        UpdateWindow(g_fenetre);
        BouclePrincipale(g_fenetre);
    }
    UnregisterClassA(kClasse, instance);
    return 0;
}

LRESULT CALLBACK ProcFenetre(HWND fenetre, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            Nettoyer();
            PostQuitMessage(0);
            return 0;
        case WM_SIZE:
            if (g_device) DefinirProjection(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) {
                Nettoyer();
                PostQuitMessage(0);
            }
            return 0;
        default:
            return DefWindowProcA(fenetre, message, wParam, lParam);
    }
}
