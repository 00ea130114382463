#include <cmath>
#include <limits>

#include "terrain_fixture.h"

namespace {

using terrain_test::TerrainTest;

// Heights that differ in every direction, so that a swapped corner or axis shows.
BYTE Bosses(int c, int r) { return static_cast<BYTE>((c * c * 7 + r * 13 + c * r) % 251); }

TEST_F(TerrainTest, AnswersTheCentreVertexAtTheOrigin) {
    ASSERT_EQ(Build(128, 128, Bosses), S_OK);
    EXPECT_EQ(terrain.Altitude(0.0f, 0.0f), terrain.sommets[64 * 128 + 64].position.y);
    EXPECT_NE(terrain.Altitude(0.0f, 0.0f), 0.0f);
}

// Spacings that are exact in binary, so that the positions below land exactly where meant.
class AltitudeTest : public TerrainTest {
protected:
    void SetUp() override {
        TerrainTest::SetUp();
        ASSERT_EQ(Build(8, 6, Bosses, 0.5f, 0.25f, 1.0f), S_OK);
    }
    float h(int r, int c) const { return Sommet(r, c).position.y; }
    // The world position of fractional column fx and row fz.
    float At(float fx, float fz) const { return terrain.Altitude((fx - 4.0f) * 0.5f, (fz - 3.0f) * 0.25f); }
};

TEST_F(AltitudeTest, BlendsTheFourCornersOfTheCell) {
    EXPECT_EQ(At(2, 3), h(3, 2));
    EXPECT_EQ(At(0, 0), h(0, 0));
    EXPECT_FLOAT_EQ(At(2.5f, 3), (h(3, 2) + h(3, 3)) / 2);  // halfway along a row
    EXPECT_FLOAT_EQ(At(2, 3.5f), (h(3, 2) + h(4, 2)) / 2);  // halfway down a column
    EXPECT_FLOAT_EQ(At(5.5f, 1.5f), (h(1, 5) + h(1, 6) + h(2, 5) + h(2, 6)) / 4);
    EXPECT_FLOAT_EQ(At(1.25f, 0.75f), 0.75f * 0.25f * h(0, 1) + 0.25f * 0.25f * h(0, 2) + 0.75f * 0.75f * h(1, 1) +
                                          0.25f * 0.75f * h(1, 2));
}

TEST_F(AltitudeTest, AnswersZeroFromTheLastColumnAndRowOn) {
    EXPECT_EQ(At(7, 2), 0.0f);
    EXPECT_EQ(At(2, 5), 0.0f);
    EXPECT_NE(At(6.99f, 4.99f), 0.0f);
    EXPECT_EQ(At(40, 2), 0.0f);
    EXPECT_EQ(At(2, 40), 0.0f);
}

TEST_F(AltitudeTest, ExtendsTheFirstCellLessThanOneSpacingBeforeTheLowEdges) {
    EXPECT_FLOAT_EQ(At(-0.5f, 2), 1.5f * h(2, 0) - 0.5f * h(2, 1));
    EXPECT_FLOAT_EQ(At(3, -0.5f), 1.5f * h(0, 3) - 0.5f * h(1, 3));
    EXPECT_EQ(At(-1, 2), 0.0f);
    EXPECT_EQ(At(-1.5f, 2), 0.0f);
    EXPECT_EQ(At(3, -1), 0.0f);
}

TEST_F(AltitudeTest, AnswersZeroFarAwayAndForPositionsThatAreNotNumbers) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float x : {1e30f, -1e30f, inf, -inf, nan}) {
        EXPECT_EQ(terrain.Altitude(x, 0.0f), 0.0f) << x;
        EXPECT_EQ(terrain.Altitude(0.0f, x), 0.0f) << x;
    }
}

}  // namespace
