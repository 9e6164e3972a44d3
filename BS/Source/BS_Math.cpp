#include "BS/Export/BS_Math.h"

namespace BS {

Vector3 Quaternion::Rotate(const Vector3& p) const { return Matrix().TransformVector(p); }

Matrix44 Quaternion::Matrix() const {
    const float x = v.x, y = v.y, z = v.z;
    Matrix44 r;
    r.m[0] = 1.0f - 2.0f * (y * y + z * z);
    r.m[1] = 2.0f * (x * y + z * w);
    r.m[2] = 2.0f * (x * z - y * w);
    r.m[4] = 2.0f * (x * y - z * w);
    r.m[5] = 1.0f - 2.0f * (x * x + z * z);
    r.m[6] = 2.0f * (y * z + x * w);
    r.m[8] = 2.0f * (x * z + y * w);
    r.m[9] = 2.0f * (y * z - x * w);
    r.m[10] = 1.0f - 2.0f * (x * x + y * y);
    return r;
}

void Quaternion::Slerp(const Quaternion& a, const Quaternion& bIn, float t) {
    Quaternion b = bIn;
    float d = a.v.x * b.v.x + a.v.y * b.v.y + a.v.z * b.v.z + a.w * b.w;
    if (d < 0.0f) {
        d = -d;
        b = b * -1.0f;  // take the shorter arc
    }
    float k0, k1;
    if (static_cast<double>(d) < kSlerpThreshold) {
        const float theta = std::acos(d);
        const float s = std::sin(theta);
        k0 = std::sin((1.0f - t) * theta) / s;
        k1 = std::sin(t * theta) / s;
    } else {
        k0 = 1.0f - t;
        k1 = t;
    }
    *this = a * k0 + b * k1;
}

Matrix44 Matrix44::operator*(const Matrix44& o) const {
    Matrix44 r;
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row)
            r.m[row + 4 * c] = m[row] * o.m[4 * c] + m[row + 4] * o.m[4 * c + 1] +
                               m[row + 8] * o.m[4 * c + 2] + m[row + 12] * o.m[4 * c + 3];
    return r;
}

namespace {

// Cofactors of a column-major 4x4 matrix, laid out as the adjugate (the
// transposed cofactor matrix), so that adjugate / det is the inverse.
void Adjugate(const float* m, float* inv) {
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] + m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] - m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] + m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] - m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] - m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] + m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] - m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] + m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] + m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] - m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] + m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] - m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] - m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] + m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] - m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] + m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
}

}  // namespace

float Matrix44::Determinant() const {
    float adj[16];
    Adjugate(m, adj);
    // Expansion along the first column.
    return m[0] * adj[0] + m[1] * adj[4] + m[2] * adj[8] + m[3] * adj[12];
}

void Matrix44::Transpose() {
    for (int r = 0; r < 4; ++r)
        for (int c = r + 1; c < 4; ++c) {
            const float t = m[r + 4 * c];
            m[r + 4 * c] = m[c + 4 * r];
            m[c + 4 * r] = t;
        }
}

void Matrix44::Inverse() {
    float adj[16];
    Adjugate(m, adj);
    const float det = m[0] * adj[0] + m[1] * adj[4] + m[2] * adj[8] + m[3] * adj[12];
    if (std::fabs(det) < kEpsilon) return;
    const float r = 1.0f / det;
    for (int i = 0; i < 16; ++i) m[i] = adj[i] * r;
}

void Matrix44::Translate(const Vector3& t) {
    Matrix44 tr;
    tr.SetPosition(t);
    *this = tr * *this;
}

void Matrix44::Scale(const Vector3& s) { Scale(Vector4(s.x, s.y, s.z, 1.0f)); }

void Matrix44::Scale(const Vector4& s) {
    Matrix44 sc;
    sc.m[0] = s.x; sc.m[5] = s.y; sc.m[10] = s.z; sc.m[15] = s.w;
    *this = sc * *this;
}

void Matrix44::Rotate(const Vector3& axisIn, float angle) {
    Vector3 a = axisIn;
    a.Normalize();
    const float x = a.x, y = a.y, z = a.z;
    const float s = std::sin(angle), c = std::cos(angle), t = 1.0f - c;
    Matrix44 r;
    r.m[0] = t * x * x + c;     r.m[1] = t * x * y - s * z; r.m[2] = t * x * z + s * y;
    r.m[4] = t * x * y + s * z; r.m[5] = t * y * y + c;     r.m[6] = t * y * z - s * x;
    r.m[8] = t * x * z - s * y; r.m[9] = t * y * z + s * x; r.m[10] = t * z * z + c;
    *this = r * *this;
}

void Matrix44::SetRotationX(float a) {
    Identity();
    m[5] = std::cos(a); m[6] = std::sin(a); m[9] = -std::sin(a); m[10] = std::cos(a);
}

void Matrix44::SetRotationY(float a) {
    Identity();
    m[0] = std::cos(a); m[2] = -std::sin(a); m[8] = std::sin(a); m[10] = std::cos(a);
}

void Matrix44::SetRotationZ(float a) {
    Identity();
    m[0] = std::cos(a); m[1] = std::sin(a); m[4] = -std::sin(a); m[5] = std::cos(a);
}

void Matrix44::SetFrustum(float l, float r, float t, float b, float n, float f) {
    Zero();
    m[0] = 2.0f * n / (r - l);
    m[8] = (r + l) / (r - l);
    m[5] = 2.0f * n / (t - b);
    m[9] = (t + b) / (t - b);
    m[10] = (f + n) / (n - f);
    m[14] = -2.0f * f * n / (f - n);
    m[11] = -1.0f;
}

void Matrix44::SetOrtho(float l, float r, float t, float b, float n, float f) {
    Zero();
    m[0] = 2.0f / (r - l);
    m[12] = -(r + l) / (r - l);
    m[5] = 2.0f / (t - b);
    m[13] = -(t + b) / (t - b);
    m[10] = -2.0f / (f - n);
    m[14] = -(f + n) / (f - n);
    m[15] = 1.0f;
}

void Matrix44::SetProjection(float angleX, float angleY, float n, float f) {
    const float sx = std::sin(angleX * 0.5f), sy = std::sin(angleY * 0.5f);
    SetFrustum(-sx, sx, sy, -sy, n, f);
}

Quaternion Matrix44::GetQuaternion() const {
    const float trace = m[0] + m[5] + m[10];
    float x, y, z, w;
    if (trace >= 0.0f) {
        const float s = std::sqrt(trace + 1.0f), f = 0.5f / s;
        w = 0.5f * s;
        x = (m[6] - m[9]) * f; y = (m[8] - m[2]) * f; z = (m[1] - m[4]) * f;
    } else if (m[5] > m[0]) {
        const float s = std::sqrt(m[5] - (m[10] + m[0]) + 1.0f), f = 0.5f / s;
        y = 0.5f * s;
        x = (m[4] + m[1]) * f; z = (m[9] + m[6]) * f; w = (m[8] - m[2]) * f;
    } else if (m[10] > m[5]) {
        const float s = std::sqrt(m[10] - (m[0] + m[5]) + 1.0f), f = 0.5f / s;
        z = 0.5f * s;
        x = (m[8] + m[2]) * f; y = (m[9] + m[6]) * f; w = (m[1] - m[4]) * f;
    } else {
        const float s = std::sqrt(m[0] - (m[5] + m[10]) + 1.0f), f = 0.5f / s;
        x = 0.5f * s;
        y = (m[4] + m[1]) * f; z = (m[8] + m[2]) * f; w = (m[6] - m[9]) * f;
    }
    return {w, Vector3(x, y, z)};
}

}  // namespace BS
