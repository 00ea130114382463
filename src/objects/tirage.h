#pragma once
// The pseudo-random sequence that places the trees. It is a fixed linear congruential generator,
// never seeded, so that the same maps put the same trees in the same places on every run.

#include "platform/win32/win_types.h"

// The largest value a draw can give.
inline constexpr INT kTirageMax = 32767;

class GenerateurCongruentiel {
public:
    // The next value, 0 to kTirageMax: state × 214013 + 2531011 modulo 2^32, bits 16 to 30.
    INT Suivant();

private:
    DWORD etat_ = 1;
};

// The one sequence of the process, shared by every position list. Tests may assign a fresh
// generator to it to start the sequence again.
GenerateurCongruentiel& GenerateurDesPositions();

// The cell, 0 to taille − 1, that a draw picks among `taille` cells. The scale is the float just
// below 1/32767, so that even the largest draw stays inside the last cell.
INT IndiceTire(INT tirage, INT taille);
