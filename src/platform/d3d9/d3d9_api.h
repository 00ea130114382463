#pragma once
// The graphics API as the scene sees it: types, interfaces and the entry point.

#include "platform/d3d9/d3d9_interfaces.h"
#include "platform/d3d9/d3d9_types.h"

// Creates the Direct3D object (the one adapter), or returns null for an unknown SDK version.
IDirect3D9* Direct3DCreate9(UINT sdkVersion);
