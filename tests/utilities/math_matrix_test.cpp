#include <gtest/gtest.h>

#include <cmath>

#include "utilities/d3dx_math.h"

namespace {

void ExpectNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected, float tolerance = 1e-6f) {
    for (unsigned i = 0; i < 4; ++i)
        for (unsigned j = 0; j < 4; ++j)
            EXPECT_NEAR(actual(i, j), expected(i, j), tolerance) << "at row " << i << ", column " << j;
}

D3DXVECTOR3 Transform(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
    D3DXVECTOR3 out;
    return *D3DXVec3TransformCoord(&out, &v, &m);
}

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    return *D3DXMatrixIdentity(&m);
}

TEST(MatrixMultiply, LeftOperandAppliesFirst) {
    D3DXMATRIX translate, scale;
    D3DXMatrixTranslation(&translate, 1, 0, 0);
    D3DXMatrixScaling(&scale, 2, 2, 2);
    // Translate then scale: (0,0,0) → (1,0,0) → (2,0,0). The other order leaves it at (1,0,0).
    EXPECT_EQ(Transform(D3DXVECTOR3(0, 0, 0), translate * scale), D3DXVECTOR3(2, 0, 0));
    EXPECT_EQ(Transform(D3DXVECTOR3(0, 0, 0), scale * translate), D3DXVECTOR3(1, 0, 0));
}

TEST(MatrixMultiply, OutMayBeEitherOperand) {
    const D3DXMATRIX a(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const D3DXMATRIX b(-1, 0, 2, 1, 3, 1, 0, -2, 0, 4, 1, 1, 2, -1, 0, 3);
    D3DXMATRIX expected;
    D3DXMatrixMultiply(&expected, &a, &b);
    EXPECT_EQ(expected._11, 1 * -1 + 2 * 3 + 3 * 0 + 4 * 2.0f);
    EXPECT_EQ(expected._34, 9 * 1 + 10 * -2 + 11 * 1 + 12 * 3.0f);

    D3DXMATRIX left = a;
    EXPECT_EQ(*D3DXMatrixMultiply(&left, &left, &b), expected);
    D3DXMATRIX right = b;
    EXPECT_EQ(*D3DXMatrixMultiply(&right, &a, &right), expected);
    D3DXMATRIX both = a;
    D3DXMATRIX squared;
    D3DXMatrixMultiply(&squared, &a, &a);
    EXPECT_EQ(*D3DXMatrixMultiply(&both, &both, &both), squared);
    D3DXMATRIX viaOperator = a;
    viaOperator *= b;
    EXPECT_EQ(viaOperator, expected);
}

TEST(MatrixRotation, QuarterTurnAboutYAsTheTreeUsesIt) {
    // A non-unit axis: it is normalised inside and left unchanged for the caller.
    const D3DXVECTOR3 axis(0, 2, 0);
    D3DXMATRIX r;
    D3DXMatrixRotationAxis(&r, &axis, 1.5707964f);
    EXPECT_EQ(axis, D3DXVECTOR3(0, 2, 0));
    const D3DXVECTOR3 x = Transform(D3DXVECTOR3(1, 0, 0), r);
    EXPECT_NEAR(x.x, 0, 1e-6f);
    EXPECT_NEAR(x.z, -1, 1e-6f);
    const D3DXVECTOR3 z = Transform(D3DXVECTOR3(0, 0, 1), r);
    EXPECT_NEAR(z.x, 1, 1e-6f);
    EXPECT_NEAR(z.z, 0, 1e-6f);

    D3DXMATRIX y;
    ExpectNear(*D3DXMatrixRotationY(&y, 1.5707964f), r);
    ExpectNear(*D3DXMatrixRotationY(&y, 0.7f), *D3DXMatrixRotationAxis(&r, &axis, 0.7f));
}

TEST(MatrixRotation, YawPitchRollAppliesRollThenPitchThenYaw) {
    const float yaw = 0.4f, pitch = -1.1f, roll = 2.3f;
    const D3DXVECTOR3 xAxis(1, 0, 0), yAxis(0, 1, 0), zAxis(0, 0, 1);
    D3DXMATRIX ry, rx, rz;
    D3DXMatrixRotationAxis(&ry, &yAxis, yaw);
    D3DXMatrixRotationAxis(&rx, &xAxis, pitch);
    D3DXMatrixRotationAxis(&rz, &zAxis, roll);
    D3DXMATRIX combined;
    ExpectNear(*D3DXMatrixRotationYawPitchRoll(&combined, yaw, pitch, roll), rz * rx * ry, 1e-5f);

    D3DXQUATERNION q;
    D3DXQuaternionRotationYawPitchRoll(&q, yaw, pitch, roll);
    EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 1e-6f);
}

TEST(MatrixLookAt, LeftHandedLookingDownZIsTheIdentity) {
    const D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1), up(0, 1, 0);
    D3DXMATRIX view;
    EXPECT_EQ(D3DXMatrixLookAtLH(&view, &eye, &at, &up), &view);
    EXPECT_EQ(view, Identity());
}

TEST(MatrixLookAt, RightHandedMirrorsXAndZ) {
    const D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtRH(&view, &eye, &at, &up);
    EXPECT_EQ(view, D3DXMATRIX(-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1));
}

TEST(MatrixLookAt, EyeMovesToTheOrigin) {
    const D3DXVECTOR3 eye(3, 4, 5), at(3, 4, 9), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtRH(&view, &eye, &at, &up);
    EXPECT_EQ(Transform(eye, view), D3DXVECTOR3(0, 0, 0));
    // Right-handed: what the eye looks at lies on the negative z axis of view space.
    EXPECT_EQ(Transform(at, view), D3DXVECTOR3(0, 0, -4));
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    EXPECT_EQ(Transform(at, view), D3DXVECTOR3(0, 0, 4));
}

TEST(MatrixLookAt, UpParallelToViewGivesZeroColumnsWithoutError) {
    const D3DXVECTOR3 eye(0, 0, 0), at(0, 5, 0), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    for (unsigned row = 0; row < 4; ++row) {
        EXPECT_EQ(view(row, 0), 0.0f) << row;
        EXPECT_EQ(view(row, 1), 0.0f) << row;
    }
    EXPECT_EQ(view._23, 1.0f);
    EXPECT_EQ(view._44, 1.0f);
}

TEST(MatrixPerspective, RightHandedAsTheCameraUsesIt) {
    D3DXMATRIX proj;
    EXPECT_EQ(D3DXMatrixPerspectiveFovRH(&proj, 1.0471976f, 4.0f / 3.0f, 0.1f, 1000.0f), &proj);
    EXPECT_NEAR(proj._22, 1.7320508f, 1e-6f);
    EXPECT_NEAR(proj._11, 1.2990381f, 1e-6f);
    EXPECT_NEAR(proj._33, -1.0001f, 1e-6f);
    EXPECT_EQ(proj._34, -1.0f);
    EXPECT_NEAR(proj._43, -0.10001f, 1e-7f);
    EXPECT_EQ(proj._44, 0.0f);
    // The near plane maps to depth 0 and the far plane to depth 1.
    EXPECT_NEAR(Transform(D3DXVECTOR3(0, 0, -0.1f), proj).z, 0.0f, 1e-6f);
    EXPECT_NEAR(Transform(D3DXVECTOR3(0, 0, -1000.0f), proj).z, 1.0f, 1e-6f);
}

}  // namespace
