#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

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

// A quaternion made from an axis turns by +angle, as the importer's rotation keys are read; Matrix44::Rotate's -angle
// is checked below.
TEST(MathRotation, AQuaternionFromAnAxisTurnsByPlusAngle) {
    ExpectVector(Vector3(0, 0, 1).GetQuaternion(kHalfPi).Matrix().TransformVector(Vector3(1, 1, 0)), -1, 1, 0);
    ExpectVector(Vector3(1, 0, 0).GetQuaternion(kHalfPi).Matrix().TransformVector(Vector3(0, 1, 1)), 0, -1, 1);
}

// Hand formulas in double precision over random inputs: column-major
// storage, m[row + 4 * column], products apply the right operand first.
class MathOracle : public ::testing::Test {
protected:
    float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(mRandom); }
    Vector3 RandomVector() { return Vector3(Uniform(-3, 3), Uniform(-3, 3), Uniform(-3, 3)); }
    Matrix44 RandomMatrix() {
        Matrix44 r;
        for (float& e : r.m) e = Uniform(-2, 2);
        return r;
    }
    static Matrix44 Product(const Matrix44& a, const Matrix44& b) {
        Matrix44 r;
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 4; ++col) {
                double sum = 0;
                for (int k = 0; k < 4; ++k) sum += double(a.m[row + 4 * k]) * b.m[k + 4 * col];
                r.m[row + 4 * col] = float(sum);
            }
        return r;
    }
    // Rotation by +angle about a unit axis (Rodrigues), as a matrix on column vectors.
    static Matrix44 Rodrigues(Vector3 a, double angle) {
        a.Normalize();
        const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
        const double x = a.x, y = a.y, z = a.z;
        const double rows[3][3] = {{t * x * x + c, t * x * y - s * z, t * x * z + s * y},
                                   {t * x * y + s * z, t * y * y + c, t * y * z - s * x},
                                   {t * x * z - s * y, t * y * z + s * x, t * z * z + c}};
        Matrix44 r;
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) r.m[row + 4 * col] = float(rows[row][col]);
        return r;
    }
    // Leibniz: the signed products over the 24 permutations.
    static double Determinant(const Matrix44& a) {
        int p[4] = {0, 1, 2, 3};
        double d = 0;
        do {
            int inversions = 0;
            for (int i = 0; i < 4; ++i)
                for (int j = i + 1; j < 4; ++j) inversions += p[i] > p[j];
            const double product = double(a.m[4 * p[0]]) * a.m[1 + 4 * p[1]] * a.m[2 + 4 * p[2]] * a.m[3 + 4 * p[3]];
            d += inversions % 2 ? -product : product;
        } while (std::next_permutation(p, p + 4));
        return d;
    }
    static void ExpectNear(const Matrix44& got, const Matrix44& want, float tolerance, int trial) {
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(got.m[i], want.m[i], tolerance) << "entry " << i << ", trial " << trial;
    }

    std::mt19937 mRandom{20261207};
};

TEST_F(MathOracle, ProductsAndTheirBuildersPreMultiplyOnColumnMajorStorage) {
    for (int trial = 0; trial < 50; ++trial) {
        const Matrix44 a = RandomMatrix(), b = RandomMatrix();
        ExpectNear(a * b, Product(a, b), 1e-4f, trial);
        const Vector3 t = RandomVector();
        Matrix44 translation;
        for (int i = 0; i < 3; ++i) translation.m[12 + i] = (&t.x)[i];
        Matrix44 moved = a;
        moved.Translate(t);
        ExpectNear(moved, Product(translation, a), 1e-4f, trial);
        const Vector4 s(Uniform(-2, 2), Uniform(-2, 2), Uniform(-2, 2), Uniform(-2, 2));
        Matrix44 scaling, scaled3 = a, scaled4 = a;
        scaling.m[0] = s.x, scaling.m[5] = s.y, scaling.m[10] = s.z;
        scaled3.Scale(Vector3(s.x, s.y, s.z));
        ExpectNear(scaled3, Product(scaling, a), 1e-4f, trial);
        scaling.m[15] = s.w;
        scaled4.Scale(s);
        ExpectNear(scaled4, Product(scaling, a), 1e-4f, trial);
        const Vector3 axis = RandomVector();
        const float angle = Uniform(-3, 3);
        Matrix44 turned = a;
        turned.Rotate(axis, angle);
        ExpectNear(turned, Product(Rodrigues(axis, -angle), a), 1e-4f, trial);
        Matrix44 transposed = a;
        transposed.Transpose();
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 4; ++col) EXPECT_EQ(transposed.m[row + 4 * col], a.m[col + 4 * row]) << trial;
    }
    Matrix44 m;
    m.SetRow(1, Vector4(1, 2, 3, 4));
    EXPECT_TRUE(m.GetColumn(3) == Vector4(0, 4, 0, 1));
}

TEST_F(MathOracle, DeterminantInverseAndTransforms) {
    for (int trial = 0; trial < 50; ++trial) {
        const Matrix44 a = RandomMatrix();
        const double det = Determinant(a);
        EXPECT_NEAR(a.Determinant(), det, 1e-4 * (1 + std::fabs(det))) << trial;
        if (std::fabs(det) > 0.05) {
            Matrix44 inverse = a;
            inverse.Inverse();
            ExpectNear(Product(a, inverse), Matrix44(), 2e-3f, trial);
        }
        const Vector3 p = RandomVector(), direction = a.TransformVector(p), point = a.TransformPoint(p);
        const double w = a.m[3] * p.x + a.m[7] * p.y + a.m[11] * p.z + a.m[15];
        for (int row = 0; row < 3; ++row) {
            const double linear = a.m[row] * p.x + a.m[row + 4] * p.y + a.m[row + 8] * p.z;
            EXPECT_NEAR((&direction.x)[row], linear, 1e-4) << trial;
            if (std::fabs(w) > 0.1) {
                EXPECT_NEAR((&point.x)[row], (linear + a.m[row + 12]) / w, 1e-3 * (1 + 1 / std::fabs(w))) << trial;
            }
        }
    }
    Matrix44 singular, copy;  // a nearly singular matrix is left as it is
    singular.m[0] = copy.m[0] = 0.00005f;  // determinant 0.00005
    copy.Inverse();
    EXPECT_TRUE(copy == singular);
}

TEST_F(MathOracle, CrossAndDotProducts) {
    for (int trial = 0; trial < 50; ++trial) {
        const Vector3 a = RandomVector(), b = RandomVector();
        ExpectVector(a ^ b, a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
        EXPECT_NEAR(a * b, a.x * b.x + a.y * b.y + a.z * b.z, 1e-4f);
        const Vector2 u(a.x, a.y), v(b.x, b.y);
        EXPECT_NEAR((u ^ v).z, u.x * v.y - u.y * v.x, 1e-4f);
    }
}

TEST_F(MathOracle, MatrixToQuaternionFollowsTheBranchOrder) {
    // The branches test the trace, then m[5] > m[0], then m[10] > m[5]; the
    // component a branch computes from its square root is the positive one.
    for (int trial = 0; trial < 200; ++trial) {
        const Matrix44 r = Rodrigues(RandomVector(), Uniform(-3.1f, 3.1f));
        const Quaternion q = r.GetQuaternion();
        ExpectNear(q.Matrix(), r, 1e-4f, trial);
        EXPECT_NEAR(q.Norm(), 1.0f, 1e-4f);
        const float* m = r.m;
        const float positive = m[0] + m[5] + m[10] >= 0 ? q.w : m[5] > m[0] ? q.v.y : m[10] > m[5] ? q.v.z : q.v.x;
        EXPECT_GT(positive, 0.0f) << trial;
    }
}

TEST_F(MathOracle, SlerpFollowsTheGreatArcAndIsLinearForNearlyEqualRotations) {
    for (int trial = 0; trial < 50; ++trial) {
        Vector3 axisA = RandomVector(), axisB = RandomVector();
        axisA.Normalize();
        axisB.Normalize();
        const Quaternion a = axisA.GetQuaternion(Uniform(-3, 3)), b = axisB.GetQuaternion(Uniform(-3, 3));
        const float t = Uniform(0, 1);
        Quaternion r;
        r.Slerp(a, b, t);
        double d = a.w * b.w + a.v * b.v;
        const double sign = d < 0 ? -1 : 1;
        d = std::fabs(d);
        if (d > 0.999) continue;
        const double theta = std::acos(d), k0 = std::sin((1 - t) * theta) / std::sin(theta),
                     k1 = sign * std::sin(t * theta) / std::sin(theta);
        EXPECT_NEAR(r.w, k0 * a.w + k1 * b.w, 1e-4) << trial;
        EXPECT_NEAR(r.v.x, k0 * a.v.x + k1 * b.v.x, 1e-4) << trial;
        EXPECT_NEAR(r.v.y, k0 * a.v.y + k1 * b.v.y, 1e-4) << trial;
        EXPECT_NEAR(r.v.z, k0 * a.v.z + k1 * b.v.z, 1e-4) << trial;
    }
    // Dot product 0.99995: above the threshold, so the weights are 1 - t and t.
    const float w = 0.99995f;
    const Quaternion a(1.0f, Vector3(0, 0, 0)), b(w, Vector3(std::sqrt(1.0f - w * w), 0, 0));
    Quaternion r;
    r.Slerp(a, b, 0.25f);
    EXPECT_FLOAT_EQ(r.w, 0.75f * 1.0f + 0.25f * w);
    EXPECT_FLOAT_EQ(r.v.x, 0.25f * b.v.x);
}

TEST(MathProjection, PointAtInfinityBecomesZeroAndOthersDivideByTheirLastComponent) {
    Matrix44 p;
    p.SetFrustum(-1, 1, 1, -1, 1, 10);
    ExpectVector(p.TransformPoint(Vector3(1, 1, 0)), 0, 0, 0);  // w' = -z = 0
    ExpectVector(Vector4(2, 4, -6, 2).Cartesianized(), 1, 2, -3);
}

// A degenerate face of a scene file has no normal: zero stays zero, not NaN.
TEST(MathVector, NormalizingZeroLeavesZero) {
    Vector3 zero;
    zero.Normalize();
    ExpectVector(zero, 0, 0, 0);
}

TEST(MathQuaternion, HamiltonProductAppliesRightOperandFirst) {
    const Quaternion qx = Vector3(1, 0, 0).GetQuaternion(kHalfPi);
    const Quaternion qz = Vector3(0, 0, 1).GetQuaternion(kHalfPi);
    // z first: (1,0,0) -> (0,1,0); then x: (0,1,0) -> (0,0,1).
    ExpectVector((qx * qz).Rotate(Vector3(1, 0, 0)), 0, 0, 1);
    EXPECT_FLOAT_EQ(Quaternion(1, Vector3(1, 1, 1)).Norm(), 4.0f);
}
