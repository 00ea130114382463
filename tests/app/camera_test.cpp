// The free camera: keyboard moves, mouse turns, resize changes only the aspect.

#include <cmath>

#include "app_fixture.h"

namespace {

constexpr float kTolerance = 1e-3f;

void ExpectNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float tolerance = kTolerance) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

class CameraTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        headless::SetTickCount(5000);
        StartDevice();
        headless::MoveCursorTo(400, 300);
    }
    // One idle pass's camera steps, `ms` after the previous one.
    void Pass(DWORD ms) {
        headless::AdvanceTicks(ms);
        GererClavier();
        GererSouris();
    }
};

}  // namespace

TEST_F(CameraTest, FirstPassMovesNothingHoweverLongStartUpTook) {
    headless::SetKeyDown(VK_UP, true);
    Pass(100000);
    ExpectNear(g_oeil, D3DXVECTOR3(0, 0, 0));
    ExpectNear(g_cible, D3DXVECTOR3(0, 0, 1));
}

TEST_F(CameraTest, UpHeldOneSecondMovesFiftyUnitsAlongTheView) {
    Pass(0);
    headless::SetKeyDown(VK_UP, true);
    Pass(1000);
    ExpectNear(g_oeil, D3DXVECTOR3(0, 0, 50));

    // Looking up, the eye rises along the view.
    g_angleV = 0.5f;
    const D3DXVECTOR3 start = g_oeil;
    Pass(1000);
    ExpectNear(g_oeil, start + D3DXVECTOR3(0, 50 * std::sin(0.5f), 50 * std::cos(0.5f)));
    ExpectNear(g_cible, g_oeil + DirectionVue());
}

TEST_F(CameraTest, OppositeKeysCancelAndSideKeysMoveHorizontally) {
    Pass(0);
    headless::SetKeyDown(VK_UP, true);
    headless::SetKeyDown(VK_DOWN, true);
    headless::SetKeyDown(VK_LEFT, true);
    headless::SetKeyDown(VK_RIGHT, true);
    Pass(1000);
    ExpectNear(g_oeil, D3DXVECTOR3(0, 0, 0));

    headless::SetKeyDown(VK_RIGHT, false);
    headless::SetKeyDown(VK_UP, false);
    headless::SetKeyDown(VK_DOWN, false);
    Pass(200);
    // Looking along +z, Left moves towards +x: to the left on screen.
    ExpectNear(g_oeil, D3DXVECTOR3(10, 0, 0));
}

TEST_F(CameraTest, MouseMotionTurnsTheViewAndTheCursorGoesBack) {
    Pass(0);
    const float startH = g_angleH;
    headless::MoveCursorTo(400, 300);
    Pass(10);
    EXPECT_FLOAT_EQ(g_angleH, startH);
    EXPECT_FLOAT_EQ(g_angleV, 0.0f);

    headless::MoveCursorTo(2400, 300);
    Pass(10);
    EXPECT_NEAR(g_angleH - startH, 1.0f, 1e-6f);
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 400);
    EXPECT_EQ(cursor.y, 300);

    headless::MoveCursorTo(400, 100);  // up raises the view
    Pass(10);
    EXPECT_NEAR(g_angleV, 0.1f, 1e-6f);
}

TEST_F(CameraTest, ViewMatchesTheRightHandedLookAt) {
    Pass(0);
    D3DXMATRIX expected;
    D3DXMatrixLookAtRH(&expected, &g_oeil, &g_cible, &g_haut);
    const D3DMATRIX view = Transform(D3DTS_VIEW);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_FLOAT_EQ(view.m[r][c], expected.m[r][c]);
    // Looking along +z with a right-handed view, world +x is on the left of the screen.
    EXPECT_FLOAT_EQ(view._11, -1.0f);
}

TEST_F(CameraTest, ResizeChangesOnlyTheAspectAndZeroHeightIsSkipped) {
    const D3DMATRIX before = Transform(D3DTS_PROJECTION);
    EXPECT_NEAR(before._11, 1.2990381f, 1e-5f);

    ProcFenetre(g_fenetre, WM_SIZE, 0, MAKELPARAM(600, 600));
    const D3DMATRIX square = Transform(D3DTS_PROJECTION);
    EXPECT_EQ(g_largeurFenetre, 600);
    EXPECT_NEAR(square._11, std::sqrt(3.0f), 1e-5f);
    EXPECT_FLOAT_EQ(square._22, before._22);
    EXPECT_FLOAT_EQ(square._33, before._33);
    EXPECT_FLOAT_EQ(square._43, before._43);

    ProcFenetre(g_fenetre, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    const D3DMATRIX minimised = Transform(D3DTS_PROJECTION);
    EXPECT_FLOAT_EQ(minimised._11, square._11);
    EXPECT_TRUE(std::isfinite(minimised._11));

    ProcFenetre(g_fenetre, WM_SIZE, 0, MAKELPARAM(800, 400));
    EXPECT_NEAR(Transform(D3DTS_PROJECTION)._11, std::sqrt(3.0f) / 2.0f, 1e-5f);
}
