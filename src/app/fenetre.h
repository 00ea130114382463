#pragma once
// Process entry, the main window and the main loop.

#include "platform/win32/windows_api.h"

extern HWND g_fenetre;
extern INT g_largeurFenetre;
extern INT g_hauteurFenetre;

// Runs the whole viewer: window, device, scene, loop, release. Always returns 0.
int WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);
LRESULT CALLBACK ProcFenetre(HWND fenetre, UINT message, WPARAM wParam, LPARAM lParam);
