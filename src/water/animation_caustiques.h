#pragma once
// Which caustic image the water shows: one step every 40 ms through a cycle of 32 images, 25
// images a second. The state belongs to the whole program and starts with the first frame drawn.

#include "platform/win32/win_types.h"

inline constexpr INT kCycleCaustiques = 32;
inline constexpr DWORD kPeriodeCaustiques = 40;

class AnimationCaustiques {
public:
    // The index to show at tick `maintenant`. The first call only starts the clock; later calls
    // step once when 40 ms or more have passed since the last step (or the start). Never more than
    // one step per call: a slow frame shows an image longer rather than skipping images.
    INT Avancer(DWORD maintenant);

private:
    bool demarree_ = false;
    INT indice_ = 0;
    DWORD prochainChangement_ = 0;
};

// The program's one animation, shared by every water surface. Tests may assign a fresh one to it
// to start again.
AnimationCaustiques& AnimationDeLEau();
