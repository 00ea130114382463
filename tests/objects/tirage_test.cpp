// The sequence that places the trees, and where a draw lands.

#include "objects/tirage.h"

#include <gtest/gtest.h>

namespace {

// The values this generator is known to give from state 1; a change of multiplier, increment,
// shift or mask shows here.
TEST(Tirage, FollowsTheKnownSequenceFromStateOne) {
    GenerateurCongruentiel generateur;
    const INT attendus[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (INT attendu : attendus) EXPECT_EQ(generateur.Suivant(), attendu);
}

TEST(Tirage, TheLargestDrawStaysInsideTheLastCell) {
    EXPECT_EQ(IndiceTire(kTirageMax, 256), 255);
    EXPECT_EQ(IndiceTire(kTirageMax, 1), 0);
    // Also at the largest map the reader accepts.
    EXPECT_EQ(IndiceTire(kTirageMax, 1 << 24), (1 << 24) - 1);
}

TEST(Tirage, DrawsSpreadOverTheCellsFromTheFirst) {
    EXPECT_EQ(IndiceTire(0, 256), 0);
    EXPECT_EQ(IndiceTire(41, 256), 0);
    EXPECT_EQ(IndiceTire(18467, 256), 144);
    // Half the range lands in the middle cell.
    EXPECT_EQ(IndiceTire(16384, 256), 128);
}

}  // namespace
