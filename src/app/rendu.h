#pragma once
// The Direct3D objects of the application, the scene assembly, the frame and its light,
// the frame-rate text and the release step.

#include "platform/d3d9/d3d9_api.h"

extern IDirect3D9* g_d3d;
extern IDirect3DDevice9* g_device;
extern INT g_nbImages;

HRESULT InitDirect3D(HWND fenetre);
HRESULT InitGeometrie();
void Rendu();
void InitLumiere();
const char* CalculerFps();
void Nettoyer();
