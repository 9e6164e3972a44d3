// Geometry value types of the engine.
//
// Matrices are column-major with column vectors: element (row r, column c)
// is m[r + 4c], A * B applies B first, and the 16 floats go to GL untransposed.
// Matrix44::Rotate turns by -angle about its axis while SetRotationX/Y/Z and
// quaternion matrices turn by +angle; scenes and the MAS importer depend on
// both senses, so neither may be "fixed" in isolation.
#pragma once

#include <cassert>
#include <cmath>
#include <cstdint>

namespace BS {

constexpr float kEpsilon = 0.0001f;
constexpr double kSlerpThreshold = 0.9999;

inline bool NearlyEqual(float a, float b) { return std::fabs(a - b) < kEpsilon; }

// Catmull-Rom weights for the segment p1..p2; shared by every vector type.
struct CatmullRomWeights {
    float c0, c1, c2, c3;
    explicit CatmullRomWeights(float t) {
        const float t2 = t * t, t3 = t2 * t;
        c0 = -0.5f * t3 + t2 - 0.5f * t;
        c1 = 1.5f * t3 - 2.5f * t2 + 1.0f;
        c2 = -1.5f * t3 + 2.0f * t2 + 0.5f * t;
        c3 = 0.5f * t3 - 0.5f * t2;
    }
};

class Vector3;
class Vector4;
class Quaternion;

class Vector2 {
public:
    float x = 0.0f, y = 0.0f;

    Vector2() = default;
    Vector2(float ax, float ay) : x(ax), y(ay) {}

    void Set(float ax, float ay) { x = ax; y = ay; }
    void Zero() { x = y = 0.0f; }
    void AbsoluteValue() { x = std::fabs(x); y = std::fabs(y); }

    Vector2 operator+(const Vector2& o) const { return {x + o.x, y + o.y}; }
    Vector2 operator-(const Vector2& o) const { return {x - o.x, y - o.y}; }
    Vector2& operator+=(const Vector2& o) { x += o.x; y += o.y; return *this; }
    Vector2& operator-=(const Vector2& o) { x -= o.x; y -= o.y; return *this; }
    Vector2 operator*(float s) const { return {x * s, y * s}; }
    Vector2& operator*=(float s) { x *= s; y *= s; return *this; }
    Vector2 operator/(float s) const { return *this * (1.0f / s); }
    Vector2& operator/=(float s) { return *this *= (1.0f / s); }
    float operator*(const Vector2& o) const { return x * o.x + y * o.y; }
    bool operator==(const Vector2& o) const { return NearlyEqual(x, o.x) && NearlyEqual(y, o.y); }
    bool operator!=(const Vector2& o) const { return !(*this == o); }
    Vector3 operator^(const Vector2& o) const;

    void Lerp(const Vector2& a, const Vector2& b, float t) { *this = a + (b - a) * t; }
    void Bezier(const Vector2& p0, const Vector2& p1, const Vector2& p2, const Vector2& p3, float t) {
        const CatmullRomWeights w(t);
        *this = p0 * w.c0 + p1 * w.c1 + p2 * w.c2 + p3 * w.c3;
    }
    float Length() const { return std::sqrt(x * x + y * y); }
    void Normalize() {
        const float len = Length();
        if (len > 0.0f) *this *= 1.0f / len; else Zero();
    }
    Vector3 Homogenize() const;
    void Rotate(float angle) {
        const float c = std::cos(angle), s = std::sin(angle);
        const float nx = x * c - y * s;
        y = x * s + y * c;
        x = nx;
    }
};

class Vector3 {
public:
    float x = 0.0f, y = 0.0f, z = 0.0f;

    Vector3() = default;
    Vector3(float ax, float ay, float az) : x(ax), y(ay), z(az) {}
    Vector3(const Vector3&) = default;
    Vector3& operator=(const Vector3&) = default;
    virtual ~Vector3() = default;

    void Set(float ax, float ay, float az) { x = ax; y = ay; z = az; }
    void Zero() { x = y = z = 0.0f; }
    void AbsoluteValue() { x = std::fabs(x); y = std::fabs(y); z = std::fabs(z); }

    float& operator[](unsigned i) { assert(i < 3); return (&x)[i]; }
    float operator[](unsigned i) const { assert(i < 3); return (&x)[i]; }

    Vector3 operator+(const Vector3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vector3 operator-(const Vector3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vector3& operator+=(const Vector3& o) { x += o.x; y += o.y; z += o.z; return *this; }
    Vector3& operator-=(const Vector3& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    Vector3 operator*(float s) const { return {x * s, y * s, z * s}; }
    Vector3& operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
    Vector3 operator/(float s) const { return *this * (1.0f / s); }
    Vector3& operator/=(float s) { return *this *= (1.0f / s); }
    float operator*(const Vector3& o) const { return x * o.x + y * o.y + z * o.z; }
    Vector3 operator^(const Vector3& o) const {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
    }
    Vector3& operator^=(const Vector3& o) { return *this = *this ^ o; }
    bool operator==(const Vector3& o) const {
        return NearlyEqual(x, o.x) && NearlyEqual(y, o.y) && NearlyEqual(z, o.z);
    }
    bool operator!=(const Vector3& o) const { return !(*this == o); }

    void Lerp(const Vector3& a, const Vector3& b, float t) { *this = a + (b - a) * t; }
    void Bezier(const Vector3& p0, const Vector3& p1, const Vector3& p2, const Vector3& p3, float t) {
        const CatmullRomWeights w(t);
        *this = p0 * w.c0 + p1 * w.c1 + p2 * w.c2 + p3 * w.c3;
    }
    float Length() const { return std::sqrt(x * x + y * y + z * z); }
    void Normalize() {
        const float len = Length();
        if (len > 0.0f) *this *= 1.0f / len; else Zero();
    }
    Vector4 Homogenize() const;
    Vector2 Cartesianized() const {
        if (std::fabs(z) < kEpsilon) return {};
        return {x / z, y / z};
    }
    void Cartesianize() {
        if (std::fabs(z) < kEpsilon) return;
        const float r = 1.0f / z;
        x *= r; y *= r; z = 1.0f;
    }
    Quaternion GetQuaternion(float angle) const;
    void Rotate(const Vector3& axis, float angle);
    // Counter-clockwise face normal of the triangle a, b, c; zero when degenerate.
    void Normal(const Vector3& a, const Vector3& b, const Vector3& c) {
        *this = (a - b) ^ (a - c);
        Normalize();
    }
};

class Vector4 {
public:
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;

    Vector4() = default;
    Vector4(float ax, float ay, float az, float aw) : x(ax), y(ay), z(az), w(aw) {}
    Vector4(const Vector4&) = default;
    Vector4& operator=(const Vector4&) = default;
    virtual ~Vector4() = default;

    void Set(float ax, float ay, float az, float aw) { x = ax; y = ay; z = az; w = aw; }
    void Zero() { x = y = z = w = 0.0f; }
    void AbsoluteValue() {
        x = std::fabs(x); y = std::fabs(y); z = std::fabs(z); w = std::fabs(w);
    }

    float& operator[](unsigned i) { assert(i < 4); return (&x)[i]; }
    float operator[](unsigned i) const { assert(i < 4); return (&x)[i]; }

    Vector4 operator+(const Vector4& o) const { return {x + o.x, y + o.y, z + o.z, w + o.w}; }
    Vector4 operator-(const Vector4& o) const { return {x - o.x, y - o.y, z - o.z, w - o.w}; }
    Vector4& operator+=(const Vector4& o) { x += o.x; y += o.y; z += o.z; w += o.w; return *this; }
    Vector4& operator-=(const Vector4& o) { x -= o.x; y -= o.y; z -= o.z; w -= o.w; return *this; }
    Vector4 operator*(float s) const { return {x * s, y * s, z * s, w * s}; }
    Vector4& operator*=(float s) { x *= s; y *= s; z *= s; w *= s; return *this; }
    Vector4 operator/(float s) const { return *this * (1.0f / s); }
    Vector4& operator/=(float s) { return *this *= (1.0f / s); }
    float operator*(const Vector4& o) const { return x * o.x + y * o.y + z * o.z + w * o.w; }
    bool operator==(const Vector4& o) const {
        return NearlyEqual(x, o.x) && NearlyEqual(y, o.y) && NearlyEqual(z, o.z) && NearlyEqual(w, o.w);
    }
    bool operator!=(const Vector4& o) const { return !(*this == o); }

    void Lerp(const Vector4& a, const Vector4& b, float t) { *this = a + (b - a) * t; }
    void Bezier(const Vector4& p0, const Vector4& p1, const Vector4& p2, const Vector4& p3, float t) {
        const CatmullRomWeights wt(t);
        *this = p0 * wt.c0 + p1 * wt.c1 + p2 * wt.c2 + p3 * wt.c3;
    }
    float Length() const { return std::sqrt(x * x + y * y + z * z + w * w); }
    void Normalize() {
        const float len = Length();
        if (len > 0.0f) *this *= 1.0f / len; else Zero();
    }
    Vector3 Cartesianized() const {
        if (std::fabs(w) < kEpsilon) return {};
        return {x / w, y / w, z / w};
    }
    void Cartesianize() {
        if (std::fabs(w) < kEpsilon) return;
        const float r = 1.0f / w;
        x *= r; y *= r; z *= r; w = 1.0f;
    }
};

class Matrix44;

class Quaternion {
public:
    Vector3 v;
    float w = 1.0f;

    Quaternion() = default;
    Quaternion(float aw, const Vector3& av) : v(av), w(aw) {}
    Quaternion(const Quaternion&) = default;
    Quaternion& operator=(const Quaternion&) = default;
    virtual ~Quaternion() = default;

    void Set(float aw, const Vector3& av) { w = aw; v = av; }
    void Identity() { v.Zero(); w = 1.0f; }
    Vector3 V() const { return v; }
    float W() const { return w; }

    Quaternion operator+(const Quaternion& o) const { return {w + o.w, v + o.v}; }
    Quaternion& operator+=(const Quaternion& o) { v += o.v; w += o.w; return *this; }
    Quaternion operator*(float s) const { return {w * s, v * s}; }
    Quaternion& operator*=(float s) { v *= s; w *= s; return *this; }
    Quaternion operator/(float s) const { return *this * (1.0f / s); }
    Quaternion& operator/=(float s) { return *this *= (1.0f / s); }
    Quaternion operator*(const Quaternion& o) const {
        return {w * o.w - v.x * o.v.x - v.y * o.v.y - v.z * o.v.z,
                Vector3(w * o.v.x + v.x * o.w + v.y * o.v.z - v.z * o.v.y,
                        w * o.v.y + v.y * o.w + v.z * o.v.x - v.x * o.v.z,
                        w * o.v.z + v.z * o.w + v.x * o.v.y - v.y * o.v.x)};
    }
    Quaternion& operator*=(const Quaternion& o) { return *this = *this * o; }
    bool operator==(const Quaternion& o) const { return v == o.v && NearlyEqual(w, o.w); }
    bool operator!=(const Quaternion& o) const { return !(*this == o); }

    float Norm() const { return v.x * v.x + v.y * v.y + v.z * v.z + w * w; }
    void Normalize() { *this /= std::sqrt(Norm()); }
    Vector3 Axis() const {
        const float len2 = v.x * v.x + v.y * v.y + v.z * v.z;
        if (len2 < kEpsilon) return {1.0f, 0.0f, 0.0f};
        return v * (1.0f / std::sqrt(len2));
    }
    float Angle() const { return 2.0f * std::acos(w); }
    Vector3 Rotate(const Vector3& p) const;
    Matrix44 Matrix() const;
    void Slerp(const Quaternion& a, const Quaternion& b, float t);
};

class Matrix44 {
public:
    float m[16];

    Matrix44() { Identity(); }
    explicit Matrix44(const float* data) { SetData(data); }
    Matrix44(const Matrix44&) = default;
    Matrix44& operator=(const Matrix44&) = default;
    virtual ~Matrix44() = default;

    void SetData(const float* data) { for (int i = 0; i < 16; ++i) m[i] = data[i]; }
    void Zero() { for (float& e : m) e = 0.0f; }
    void Identity() { Zero(); m[0] = m[5] = m[10] = m[15] = 1.0f; }

    void Set(const Vector4& r0, const Vector4& r1, const Vector4& r2, const Vector4& r3) {
        SetRow(0, r0); SetRow(1, r1); SetRow(2, r2); SetRow(3, r3);
    }
    void SetRow(int i, const Vector4& r) { m[i] = r.x; m[4 + i] = r.y; m[8 + i] = r.z; m[12 + i] = r.w; }
    Vector4 GetRow(int i) const { return {m[i], m[4 + i], m[8 + i], m[12 + i]}; }
    void SetColumn(int j, const Vector4& c) { m[4 * j] = c.x; m[4 * j + 1] = c.y; m[4 * j + 2] = c.z; m[4 * j + 3] = c.w; }
    Vector4 GetColumn(int j) const { return {m[4 * j], m[4 * j + 1], m[4 * j + 2], m[4 * j + 3]}; }
    float GetAt(int r, int c) const { return m[r + 4 * c]; }
    void SetAt(int r, int c, float value) { m[r + 4 * c] = value; }
    void SetPosition(const Vector3& p) { m[12] = p.x; m[13] = p.y; m[14] = p.z; }
    Vector4 Position() const { return {m[12], m[13], m[14], m[15]}; }

    Vector4 operator*(const Vector4& p) const {
        return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12] * p.w,
                m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13] * p.w,
                m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14] * p.w,
                m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15] * p.w};
    }
    Matrix44 operator*(const Matrix44& o) const;
    Matrix44& operator*=(const Matrix44& o) { return *this = *this * o; }
    Matrix44 operator*(float s) const { Matrix44 r(*this); r *= s; return r; }
    Matrix44& operator*=(float s) { for (float& e : m) e *= s; return *this; }
    Matrix44 operator+(const Matrix44& o) const { Matrix44 r(*this); r += o; return r; }
    Matrix44 operator-(const Matrix44& o) const { Matrix44 r(*this); r -= o; return r; }
    Matrix44& operator+=(const Matrix44& o) { for (int i = 0; i < 16; ++i) m[i] += o.m[i]; return *this; }
    Matrix44& operator-=(const Matrix44& o) { for (int i = 0; i < 16; ++i) m[i] -= o.m[i]; return *this; }
    bool operator==(const Matrix44& o) const {
        for (int i = 0; i < 16; ++i)
            if (!NearlyEqual(m[i], o.m[i])) return false;
        return true;
    }
    bool operator!=(const Matrix44& o) const { return !(*this == o); }

    float Determinant() const;
    float Trace() const { return m[0] + m[5] + m[10] + m[15]; }
    void Transpose();
    // Leaves the matrix unchanged when it is (nearly) singular.
    void Inverse();

    void Translate(const Vector3& t);
    void Scale(const Vector3& s);
    void Scale(const Vector4& s);
    // Pre-multiplies by a rotation of -angle about axis (see the file comment).
    void Rotate(const Vector3& axis, float angle);
    void SetRotationX(float a);
    void SetRotationY(float a);
    void SetRotationZ(float a);
    // Note the argument order: top before bottom.
    void SetFrustum(float l, float r, float t, float b, float n, float f);
    void SetOrtho(float l, float r, float t, float b, float n, float f);
    // Uses the sine, not the tangent, of the half angles.
    void SetProjection(float angleX, float angleY, float n, float f);

    Vector3 TransformVector(const Vector3& p) const {
        return {m[0] * p.x + m[4] * p.y + m[8] * p.z,
                m[1] * p.x + m[5] * p.y + m[9] * p.z,
                m[2] * p.x + m[6] * p.y + m[10] * p.z};
    }
    Vector3 TransformVector(const Vector2& p) const { return TransformVector(Vector3(p.x, p.y, 0.0f)); }
    Vector3 TransformPoint(const Vector3& p) const { return (*this * p.Homogenize()).Cartesianized(); }
    Vector3 TransformPoint(const Vector2& p) const { return TransformPoint(Vector3(p.x, p.y, 0.0f)); }
    Quaternion GetQuaternion() const;
};

inline Vector3 Vector2::operator^(const Vector2& o) const { return {0.0f, 0.0f, x * o.y - y * o.x}; }
inline Vector3 Vector2::Homogenize() const { return {x, y, 1.0f}; }
inline Vector4 Vector3::Homogenize() const { return {x, y, z, 1.0f}; }
inline Quaternion Vector3::GetQuaternion(float angle) const {
    return {std::cos(angle * 0.5f), *this * std::sin(angle * 0.5f)};
}
inline void Vector3::Rotate(const Vector3& axis, float angle) { *this = axis.GetQuaternion(angle).Rotate(*this); }

// Byte order. The host is little-endian.
struct uint128 { uint32_t word[4]; };

inline uint16_t big_to_host_2byte(uint16_t v) { return static_cast<uint16_t>((v >> 8) | (v << 8)); }
inline uint32_t big_to_host_4byte(uint32_t v) { return __builtin_bswap32(v); }
inline uint64_t big_to_host_8byte(uint64_t v) { return __builtin_bswap64(v); }
inline uint128 big_to_host_16byte(uint128 v) {
    return {{__builtin_bswap32(v.word[3]), __builtin_bswap32(v.word[2]),
             __builtin_bswap32(v.word[1]), __builtin_bswap32(v.word[0])}};
}
inline uint16_t host_to_big_2byte(uint16_t v) { return big_to_host_2byte(v); }
inline uint32_t host_to_big_4byte(uint32_t v) { return big_to_host_4byte(v); }
inline uint64_t host_to_big_8byte(uint64_t v) { return big_to_host_8byte(v); }
inline uint128 host_to_big_16byte(uint128 v) { return big_to_host_16byte(v); }
inline uint16_t little_to_host_2byte(uint16_t v) { return v; }
inline uint32_t little_to_host_4byte(uint32_t v) { return v; }
inline uint64_t little_to_host_8byte(uint64_t v) { return v; }
inline uint128 little_to_host_16byte(uint128 v) { return v; }
inline uint16_t host_to_little_2byte(uint16_t v) { return v; }
inline uint32_t host_to_little_4byte(uint32_t v) { return v; }
inline uint64_t host_to_little_8byte(uint64_t v) { return v; }
inline uint128 host_to_little_16byte(uint128 v) { return v; }

}  // namespace BS
