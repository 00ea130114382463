#pragma once
// The reader of binary grey-level images (magic "P5"): the terrain takes its relief from one,
// the tree placement its density map from another.

#include <memory>

#include "platform/win32/win_types.h"

// The most pixels a header may announce. Both images the scene reads are far smaller (the
// height map is bounded by the 16-bit indices anyway); the cap keeps a hostile header from making
// us allocate gigabytes for a file of a few bytes.
inline constexpr INT kPixelsPgmMax = 1 << 24;

// Returns the samples, one byte per pixel, the first row first, width × height bytes, owned by the
// caller. The maximum grey value is read and ignored: every sample is one byte. Samples missing at
// the end of the file are zeros.
//
// Returns null when the file cannot be opened (after telling the user "Image non trouvée."), when
// its first two bytes are not "P5", when the file ends before the three numbers of the header,
// when a number does not fit an INT, or when width × height exceeds kPixelsPgmMax. Only the first
// case shows anything.
//
// largeur and hauteur receive each dimension as soon as it is read; they are left untouched when
// the file cannot be opened or is not a binary grey-level image. The name may use '\'.
std::unique_ptr<BYTE[]> ChargerPGM(const char* fichier, INT* largeur, INT* hauteur);
