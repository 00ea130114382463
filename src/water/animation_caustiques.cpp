#include "water/animation_caustiques.h"

INT AnimationCaustiques::Avancer(DWORD maintenant) {
    if (!demarree_) {
        prochainChangement_ = maintenant + kPeriodeCaustiques;
        demarree_ = true;
    }
    // The tick counter wraps every 49.7 days: the signed difference stays right across the wrap,
    // where a plain comparison would step at every frame until the counter caught up.
    if (static_cast<INT>(maintenant - prochainChangement_) >= 0) {
        indice_ = (indice_ + 1) % kCycleCaustiques;
        prochainChangement_ = maintenant + kPeriodeCaustiques;
    }
    return indice_;
}

AnimationCaustiques& AnimationDeLEau() {
    static AnimationCaustiques animation;
    return animation;
}
