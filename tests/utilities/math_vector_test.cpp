#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "utilities/d3dx_math.h"

namespace {

std::uint32_t Bits(float f) { return std::bit_cast<std::uint32_t>(f); }

TEST(Vec3Normalize, ZeroAndTooShortVectorsBecomeZero) {
    D3DXVECTOR3 out(9, 9, 9);
    const D3DXVECTOR3 zero(0, 0, 0);
    EXPECT_EQ(*D3DXVec3Normalize(&out, &zero), D3DXVECTOR3(0, 0, 0));
    // Squared length 1e-40 is below the smallest normal float: no division by a denormal.
    const D3DXVECTOR3 tiny(1e-20f, 0, 0);
    EXPECT_EQ(*D3DXVec3Normalize(&out, &tiny), D3DXVECTOR3(0, 0, 0));
    // Squared length 1e-36 is still normal, so it is scaled up to unit length.
    const D3DXVECTOR3 small(1e-18f, 0, 0);
    D3DXVec3Normalize(&out, &small);
    EXPECT_FLOAT_EQ(out.x, 1.0f);
}

TEST(Vec3Normalize, ScalesByTheReciprocalLength) {
    const D3DXVECTOR3 v(3, 0, 4);
    D3DXVECTOR3 out;
    EXPECT_EQ(D3DXVec3Normalize(&out, &v), &out);
    EXPECT_FLOAT_EQ(out.x, 0.6f);
    EXPECT_EQ(out.y, 0.0f);
    EXPECT_FLOAT_EQ(out.z, 0.8f);
}

TEST(Vec3Normalize, NearUnitVectorIsCopiedBitForBit) {
    // x = 1 - 2^-24: its square lies exactly 2^-23 below 1, on the edge of the unit band. Dividing
    // by its length would round x to 1.0, so only the copy keeps these bits.
    const D3DXVECTOR3 v(0.99999994f, 0, 0);
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &v);
    EXPECT_EQ(Bits(out.x), Bits(0.99999994f));
    EXPECT_EQ(Bits(out.y), 0u);
}

TEST(Vec3Normalize, OutMayBeTheInput) {
    D3DXVECTOR3 v(0, -5, 0);
    D3DXVec3Normalize(&v, &v);
    EXPECT_EQ(v, D3DXVECTOR3(0, -1, 0));
}

TEST(Vec3, CrossDotAndLength) {
    const D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0);
    D3DXVECTOR3 out;
    EXPECT_EQ(*D3DXVec3Cross(&out, &x, &y), D3DXVECTOR3(0, 0, 1));
    // Aliased output: the cross product must use both inputs before writing.
    D3DXVECTOR3 a(1, 2, 3);
    const D3DXVECTOR3 b(4, 5, 6);
    D3DXVec3Cross(&a, &a, &b);
    EXPECT_EQ(a, D3DXVECTOR3(-3, 6, -3));
    const D3DXVECTOR3 r(2, 3, 6);
    EXPECT_EQ(D3DXVec3Dot(&r, &b), 59.0f);
    EXPECT_EQ(D3DXVec3Length(&r), 7.0f);
}

TEST(Vec3TransformCoord, DividesByW) {
    D3DXMATRIX translate;
    D3DXMatrixTranslation(&translate, 1, 2, 3);
    D3DXVECTOR3 v(1, 1, 1);
    D3DXVec3TransformCoord(&v, &v, &translate);
    EXPECT_EQ(v, D3DXVECTOR3(2, 3, 4));
    // w = 2: every coordinate is halved.
    translate._44 = 2;
    D3DXVec3TransformCoord(&v, &v, &translate);
    EXPECT_EQ(v, D3DXVECTOR3(1.5f, 2.5f, 3.5f));
}

}  // namespace
