#include "utilities/d3dx_math.h"

#include <cmath>
#include <cstring>

namespace {

// The float epsilon (2^-23) and the smallest normal float (2^-126): the two thresholds of the
// normalisation.
constexpr float kFloatEpsilon = 1.1920929e-07f;
constexpr float kSmallestNormal = 1.17549435e-38f;

void SetRows(D3DXMATRIX* out, const float (&rows)[16]) { std::memcpy(out->m, rows, sizeof rows); }

// View matrix from an already normalised z axis; the two look-at forms differ only in that axis.
D3DXMATRIX* LookAtFromZAxis(D3DXMATRIX* out, const D3DXVECTOR3& eye, const D3DXVECTOR3& zaxis, const D3DXVECTOR3& up) {
    D3DXVECTOR3 xaxis;
    D3DXVec3Cross(&xaxis, &up, &zaxis);
    D3DXVec3Normalize(&xaxis, &xaxis);
    D3DXVECTOR3 yaxis;
    D3DXVec3Cross(&yaxis, &zaxis, &xaxis);
    SetRows(out, {xaxis.x, yaxis.x, zaxis.x, 0.0f,  //
                  xaxis.y, yaxis.y, zaxis.y, 0.0f,  //
                  xaxis.z, yaxis.z, zaxis.z, 0.0f,  //
                  -D3DXVec3Dot(&xaxis, &eye), -D3DXVec3Dot(&yaxis, &eye), -D3DXVec3Dot(&zaxis, &eye), 1.0f});
    return out;
}

}  // namespace

// ---- D3DXVECTOR3 --------------------------------------------------------------------------------

D3DXVECTOR3& D3DXVECTOR3::operator+=(const D3DXVECTOR3& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

D3DXVECTOR3& D3DXVECTOR3::operator-=(const D3DXVECTOR3& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}

D3DXVECTOR3& D3DXVECTOR3::operator*=(float f) {
    x *= f;
    y *= f;
    z *= f;
    return *this;
}

D3DXVECTOR3& D3DXVECTOR3::operator/=(float f) {
    const float inverse = 1.0f / f;
    return *this *= inverse;
}

D3DXVECTOR3 D3DXVECTOR3::operator/(float f) const {
    const float inverse = 1.0f / f;
    return *this * inverse;
}

// ---- D3DXMATRIX ---------------------------------------------------------------------------------

D3DXMATRIX::D3DXMATRIX(const float* sixteen) : D3DMATRIX{} { std::memcpy(m, sixteen, sizeof m); }

D3DXMATRIX::D3DXMATRIX(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24,
                       float m31, float m32, float m33, float m34, float m41, float m42, float m43, float m44)
    : D3DMATRIX{} {
    SetRows(this, {m11, m12, m13, m14, m21, m22, m23, m24, m31, m32, m33, m34, m41, m42, m43, m44});
}

D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& b) { return *D3DXMatrixMultiply(this, this, &b); }

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& b) const {
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, this, &b);
    return product;
}

bool D3DXMATRIX::operator==(const D3DXMATRIX& b) const {
    for (unsigned i = 0; i < 4; ++i)
        for (unsigned j = 0; j < 4; ++j)
            if (m[i][j] != b.m[i][j]) return false;
    return true;
}

// ---- Vector functions ---------------------------------------------------------------------------

float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b) { return a->x * b->x + a->y * b->y + a->z * b->z; }

float D3DXVec3Length(const D3DXVECTOR3* v) { return std::sqrt(D3DXVec3Dot(v, v)); }

D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    const D3DXVECTOR3 cross(a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x);
    *out = cross;
    return out;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
    const D3DXVECTOR3 in = *v;
    const float squared = in.x * in.x + in.y * in.y + in.z * in.z;
    const float offUnit = squared - 1.0f;
    if (offUnit >= -kFloatEpsilon && offUnit <= kFloatEpsilon) {
        *out = in;
    } else if (squared > kSmallestNormal) {
        const float inverse = 1.0f / std::sqrt(squared);
        *out = D3DXVECTOR3(in.x * inverse, in.y * inverse, in.z * inverse);
    } else {
        *out = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    }
    return out;
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    const D3DXVECTOR3 in = *v;
    const float x = in.x * m->_11 + in.y * m->_21 + in.z * m->_31 + m->_41;
    const float y = in.x * m->_12 + in.y * m->_22 + in.z * m->_32 + m->_42;
    const float z = in.x * m->_13 + in.y * m->_23 + in.z * m->_33 + m->_43;
    const float w = in.x * m->_14 + in.y * m->_24 + in.z * m->_34 + m->_44;
    *out = D3DXVECTOR3(x / w, y / w, z / w);
    return out;
}

// ---- Matrix functions ---------------------------------------------------------------------------

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
    SetRows(out, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    return out;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    // Formed in a temporary so that out may be a or b.
    float product[4][4];
    for (unsigned i = 0; i < 4; ++i)
        for (unsigned j = 0; j < 4; ++j)
            product[i][j] =
                a->m[i][0] * b->m[0][j] + a->m[i][1] * b->m[1][j] + a->m[i][2] * b->m[2][j] + a->m[i][3] * b->m[3][j];
    std::memcpy(out->m, product, sizeof product);
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    SetRows(out, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1});
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float x, float y, float z) {
    SetRows(out, {x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1});
    return out;
}

D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle) {
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, axis);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float t = 1.0f - c;
    SetRows(out, {t * n.x * n.x + c, t * n.x * n.y + s * n.z, t * n.x * n.z - s * n.y, 0.0f,  //
                  t * n.x * n.y - s * n.z, t * n.y * n.y + c, t * n.y * n.z + s * n.x, 0.0f,  //
                  t * n.x * n.z + s * n.y, t * n.y * n.z - s * n.x, t * n.z * n.z + c, 0.0f,  //
                  0.0f, 0.0f, 0.0f, 1.0f});
    return out;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    SetRows(out, {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1});
    return out;
}

D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q) {
    const float x = q->x, y = q->y, z = q->z, w = q->w;
    SetRows(out, {1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w), 0.0f,  //
                  2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w), 0.0f,  //
                  2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y), 0.0f,  //
                  0.0f, 0.0f, 0.0f, 1.0f});
    return out;
}

D3DXQUATERNION* D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* out, float yaw, float pitch, float roll) {
    // The product q_roll · q_pitch · q_yaw written out; with row vectors roll acts first.
    const float cy = std::cos(yaw / 2), sy = std::sin(yaw / 2);
    const float cp = std::cos(pitch / 2), sp = std::sin(pitch / 2);
    const float cr = std::cos(roll / 2), sr = std::sin(roll / 2);
    out->x = cy * sp * cr + sy * cp * sr;
    out->y = sy * cp * cr - cy * sp * sr;
    out->z = cy * cp * sr - sy * sp * cr;
    out->w = cy * cp * cr + sy * sp * sr;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll) {
    D3DXQUATERNION q;
    D3DXQuaternionRotationYawPitchRoll(&q, yaw, pitch, roll);
    return D3DXMatrixRotationQuaternion(out, &q);
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at, const D3DXVECTOR3* up) {
    D3DXVECTOR3 zaxis = *at - *eye;
    D3DXVec3Normalize(&zaxis, &zaxis);
    return LookAtFromZAxis(out, *eye, zaxis, *up);
}

D3DXMATRIX* D3DXMatrixLookAtRH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at, const D3DXVECTOR3* up) {
    D3DXVECTOR3 zaxis = *eye - *at;
    D3DXVec3Normalize(&zaxis, &zaxis);
    return LookAtFromZAxis(out, *eye, zaxis, *up);
}

D3DXMATRIX* D3DXMatrixPerspectiveFovRH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf) {
    const float yScale = std::cos(fovy / 2) / std::sin(fovy / 2);
    const float xScale = yScale / aspect;
    SetRows(out, {xScale, 0, 0, 0, 0, yScale, 0, 0, 0, 0, zf / (zn - zf), -1, 0, 0, zn * zf / (zn - zf), 0});
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf) {
    const float yScale = std::cos(fovy / 2) / std::sin(fovy / 2);
    const float xScale = yScale / aspect;
    SetRows(out, {xScale, 0, 0, 0, 0, yScale, 0, 0, 0, 0, zf / (zf - zn), 1, 0, 0, -zn * zf / (zf - zn), 0});
    return out;
}
