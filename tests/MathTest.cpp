#include <gtest/gtest.h>

#include <cmath>

#include "BS/Export/BS_Math.h"

using BS::Matrix44;
using BS::Quaternion;
using BS::Vector2;
using BS::Vector3;
using BS::Vector4;

namespace {
const float kHalfPi = static_cast<float>(M_PI / 2.0);

void ExpectVector(const Vector3& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}
}  // namespace

TEST(MathRotation, RotateTurnsByMinusAngleAndAxisBuildersByPlusAngle) {
    Matrix44 rotated;
    rotated.Rotate(Vector3(0, 0, 1), kHalfPi);
    ExpectVector(rotated.TransformVector(Vector3(1, 0, 0)), 0, -1, 0);
    EXPECT_NEAR(rotated.m[1], -1.0f, 1e-6f);

    Matrix44 z;
    z.SetRotationZ(kHalfPi);
    ExpectVector(z.TransformVector(Vector3(1, 0, 0)), 0, 1, 0);

    Matrix44 x;
    x.SetRotationX(kHalfPi);
    ExpectVector(x.TransformVector(Vector3(0, 1, 0)), 0, 0, 1);

    Matrix44 y;
    y.SetRotationY(kHalfPi);
    ExpectVector(y.TransformVector(Vector3(0, 0, 1)), 1, 0, 0);
}

TEST(MathRotation, RotationAfterTranslationRotatesTheTranslation) {
    Matrix44 m;
    m.Translate(Vector3(1, 2, 3));
    m.Rotate(Vector3(0, 0, 1), kHalfPi);
    EXPECT_NEAR(m.m[12], 2.0f, 1e-5f);
    EXPECT_NEAR(m.m[13], -1.0f, 1e-5f);
    EXPECT_NEAR(m.m[14], 3.0f, 1e-5f);
}

TEST(MathRotation, QuaternionMatrixMatchesAxisRotationAndConvertsBack) {
    const Quaternion q = Vector3(0, 0, 1).GetQuaternion(kHalfPi);
    Matrix44 z;
    z.SetRotationZ(kHalfPi);
    EXPECT_TRUE(q.Matrix() == z);

    const Quaternion back = q.Matrix().GetQuaternion();
    EXPECT_NEAR(back.v.x, 0.0f, 1e-6f);
    EXPECT_NEAR(back.v.y, 0.0f, 1e-6f);
    EXPECT_NEAR(back.v.z, std::sqrt(0.5f), 1e-5f);
    EXPECT_NEAR(back.w, std::sqrt(0.5f), 1e-5f);

    ExpectVector(q.Rotate(Vector3(1, 0, 0)), 0, 1, 0);
}

TEST(MathRotation, MatrixToQuaternionTakesEveryBranch) {
    // Half turns have a negative trace and exercise the three fallbacks.
    const Vector3 axes[] = {Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0, 0, 1), Vector3(1, 1, 0)};
    for (Vector3 axis : axes) {
        axis.Normalize();
        const Quaternion q = axis.GetQuaternion(3.0f);
        const Quaternion back = q.Matrix().GetQuaternion();
        EXPECT_TRUE(back.Matrix() == q.Matrix()) << axis.x << "," << axis.y << "," << axis.z;
    }
}

TEST(MathRotation, VectorRotateUsesQuaternionSense) {
    Vector3 v(1, 0, 0);
    v.Rotate(Vector3(0, 0, 1), kHalfPi);
    ExpectVector(v, 0, 1, 0);
    Vector2 p(1, 0);
    p.Rotate(kHalfPi);
    EXPECT_NEAR(p.x, 0.0f, 1e-6f);
    EXPECT_NEAR(p.y, 1.0f, 1e-6f);
}

TEST(MathMatrix, ProductAppliesRightOperandFirst) {
    Matrix44 translate, scale;
    translate.SetPosition(Vector3(10, 0, 0));
    scale.m[0] = 2.0f;
    const Vector4 p(1, 0, 0, 1);
    EXPECT_NEAR((translate * scale * p).x, 12.0f, 1e-5f);  // scale, then translate
    EXPECT_NEAR((scale * translate * p).x, 22.0f, 1e-5f);

    Matrix44 m;
    m.SetRow(1, Vector4(1, 2, 3, 4));
    EXPECT_EQ(m.GetAt(1, 2), 3.0f);
    EXPECT_EQ(m.m[1 + 4 * 3], 4.0f);
    EXPECT_TRUE(m.GetColumn(3) == Vector4(0, 4, 0, 1));
}

TEST(MathMatrix, InverseAndItsSingularGuard) {
    Matrix44 m;
    m.Rotate(Vector3(1, 2, 3), 0.7f);
    m.Translate(Vector3(4, -5, 6));
    m.Scale(Vector3(2, 3, 4));
    Matrix44 inv = m;
    inv.Inverse();
    EXPECT_TRUE(m * inv == Matrix44());
    EXPECT_NEAR(m.Determinant(), 24.0f, 1e-3f);

    Matrix44 nearlySingular;
    nearlySingular.m[0] = 0.00005f;  // determinant 0.00005
    Matrix44 copy = nearlySingular;
    copy.Inverse();
    EXPECT_TRUE(copy == nearlySingular);
}

TEST(MathMatrix, TransposeAndTrace) {
    Matrix44 m;
    m.SetAt(0, 3, 7.0f);
    m.Transpose();
    EXPECT_EQ(m.GetAt(3, 0), 7.0f);
    EXPECT_EQ(m.GetAt(0, 3), 0.0f);
    EXPECT_EQ(m.Trace(), 4.0f);
}

TEST(MathProjection, FrustumTakesTopBeforeBottom) {
    Matrix44 p;
    p.SetFrustum(-0.6666667f, 0.6666667f, 1.0f, -1.0f, 0.6666667f, 5000.0f);
    EXPECT_NEAR(p.m[0], 1.0f, 1e-5f);
    EXPECT_NEAR(p.m[5], 0.6666667f, 1e-5f);
    EXPECT_EQ(p.m[11], -1.0f);
    EXPECT_EQ(p.m[15], 0.0f);
    // A point on the near plane lands on depth -1, one on the far plane on +1.
    EXPECT_NEAR(p.TransformPoint(Vector3(0, 0, -0.6666667f)).z, -1.0f, 1e-4f);
    EXPECT_NEAR(p.TransformPoint(Vector3(0, 0, -5000.0f)).z, 1.0f, 1e-3f);
    // The top edge maps to +1 in y.
    EXPECT_NEAR(p.TransformPoint(Vector3(0, 1.0f, -0.6666667f)).y, 1.0f, 1e-4f);
}

TEST(MathProjection, OrthoAndSineProjection) {
    Matrix44 o;
    o.SetOrtho(0, 480, 0, 320, -1, 1);
    const Vector3 corner = o.TransformPoint(Vector3(480, 320, 0));
    EXPECT_NEAR(corner.x, 1.0f, 1e-5f);
    EXPECT_NEAR(corner.y, -1.0f, 1e-5f);  // top = 0 maps to +1, bottom to -1

    Matrix44 s, f;
    s.SetProjection(1.0f, 2.0f, 1.0f, 100.0f);
    f.SetFrustum(-std::sin(0.5f), std::sin(0.5f), std::sin(1.0f), -std::sin(1.0f), 1.0f, 100.0f);
    EXPECT_TRUE(s == f);
}

TEST(MathProjection, PointAtInfinityBecomesZero) {
    Matrix44 p;
    p.SetFrustum(-1, 1, 1, -1, 1, 10);
    ExpectVector(p.TransformPoint(Vector3(1, 1, 0)), 0, 0, 0);  // w' = -z = 0
    EXPECT_TRUE(Vector4(1, 2, 3, 0).Cartesianized() == Vector3());
}

TEST(MathVector, EqualityUsesTheLibraryEpsilon) {
    EXPECT_TRUE(Vector3(1, 1, 1) == Vector3(1.00009f, 1, 1));
    EXPECT_TRUE(Vector3(1, 1, 1) != Vector3(1.0002f, 1, 1));
    EXPECT_TRUE(Vector2(0, 0) == Vector2(0.00009f, -0.00009f));
    EXPECT_FALSE(Vector4(0, 0, 0, 0) == Vector4(0, 0, 0, 0.0002f));
}

TEST(MathVector, NormalizeAndFaceNormalOfDegenerateInput) {
    Vector3 zero;
    zero.Normalize();
    ExpectVector(zero, 0, 0, 0);
    Vector3 n;
    n.Normal(Vector3(0, 0, 0), Vector3(1, 1, 1), Vector3(2, 2, 2));
    ExpectVector(n, 0, 0, 0);
    n.Normal(Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(0, 1, 0));
    ExpectVector(n, 0, 0, 1);  // counter-clockwise seen from +z
}

TEST(MathVector, CrossDotAndHomogeneous) {
    ExpectVector(Vector3(1, 0, 0) ^ Vector3(0, 1, 0), 0, 0, 1);
    EXPECT_EQ(Vector4(1, 2, 3, 4) * Vector4(1, 1, 1, 1), 10.0f);
    EXPECT_EQ((Vector2(1, 0) ^ Vector2(0, 1)).z, 1.0f);
    Vector3 h(4, 6, 2);
    h.Cartesianize();
    ExpectVector(h, 2, 3, 1);
    EXPECT_TRUE(Vector3(4, 6, 0.00001f).Cartesianized() == Vector2());
}

TEST(MathCurves, CatmullRomHitsItsInnerPointsAndShapesBetween) {
    const Vector3 p0(-1, 5, 0), p1(0, 0, 0), p2(1, 1, 0), p3(2, -3, 0);
    Vector3 r;
    r.Bezier(p0, p1, p2, p3, 0.0f);
    EXPECT_EQ(r.x, p1.x);
    EXPECT_EQ(r.y, p1.y);
    r.Bezier(p0, p1, p2, p3, 1.0f);
    EXPECT_EQ(r.x, p2.x);
    EXPECT_EQ(r.y, p2.y);
    r.Bezier(p0, p1, p2, p3, 0.5f);
    // 0.5 * (p1 + p2) + 0.0625 * ((p1 - p0) + (p2 - p3)).
    EXPECT_NEAR(r.y, 0.5f + 0.0625f * (-5.0f + 4.0f), 1e-6f);

    Vector2 lerp;
    lerp.Lerp(Vector2(0, 0), Vector2(10, 20), 0.25f);
    EXPECT_TRUE(lerp == Vector2(2.5f, 5.0f));
}

TEST(MathCurves, SlerpTakesTheShortArc) {
    const Quaternion a = Vector3(0, 1, 0).GetQuaternion(0.3f);
    const Quaternion negated = a * -1.0f;
    for (float t : {0.0f, 0.3f, 1.0f}) {
        Quaternion r;
        r.Slerp(a, negated, t);
        EXPECT_TRUE(r == a) << t;
    }
    const Quaternion from = Vector3(0, 0, 1).GetQuaternion(0.0f);
    const Quaternion to = Vector3(0, 0, 1).GetQuaternion(kHalfPi);
    Quaternion mid;
    mid.Slerp(from, to, 0.5f);
    EXPECT_TRUE(mid == Vector3(0, 0, 1).GetQuaternion(kHalfPi / 2.0f));
}

TEST(MathCurves, SlerpOfNearlyEqualRotationsIsLinear) {
    // Dot product 0.99995: above the threshold, so the weights are 1 - t and t.
    const float w = 0.99995f;
    const Quaternion a(1.0f, Vector3(0, 0, 0));
    const Quaternion b(w, Vector3(std::sqrt(1.0f - w * w), 0, 0));
    Quaternion r;
    r.Slerp(a, b, 0.25f);
    EXPECT_FLOAT_EQ(r.w, 0.75f * 1.0f + 0.25f * w);
    EXPECT_FLOAT_EQ(r.v.x, 0.25f * b.v.x);
}

TEST(MathQuaternion, HamiltonProductAppliesRightOperandFirst) {
    const Quaternion qx = Vector3(1, 0, 0).GetQuaternion(kHalfPi);
    const Quaternion qz = Vector3(0, 0, 1).GetQuaternion(kHalfPi);
    // z first: (1,0,0) -> (0,1,0); then x: (0,1,0) -> (0,0,1).
    ExpectVector((qx * qz).Rotate(Vector3(1, 0, 0)), 0, 0, 1);
    EXPECT_FLOAT_EQ(Quaternion(1, Vector3(1, 1, 1)).Norm(), 4.0f);
    ExpectVector(Quaternion().Axis(), 1, 0, 0);
    EXPECT_NEAR(qz.Angle(), kHalfPi, 1e-5f);
}

TEST(MathByteOrder, BigEndianSwapsAndLittleEndianIsIdentity) {
    EXPECT_EQ(BS::big_to_host_2byte(0x1234), 0x3412);
    EXPECT_EQ(BS::big_to_host_4byte(0x12345678u), 0x78563412u);
    EXPECT_EQ(BS::host_to_big_8byte(0x0102030405060708ull), 0x0807060504030201ull);
    const BS::uint128 v{{0x00010203u, 0x04050607u, 0x08090A0Bu, 0x0C0D0E0Fu}};
    const BS::uint128 s = BS::big_to_host_16byte(v);
    EXPECT_EQ(s.word[0], 0x0F0E0D0Cu);
    EXPECT_EQ(s.word[3], 0x03020100u);
    EXPECT_EQ(BS::little_to_host_4byte(0x12345678u), 0x12345678u);
}
