#include "Rotation.h"

#include <cmath>

Vec3 operator*(const Mat3& m, const Vec3& v) { return m.column[0] * v.x + m.column[1] * v.y + m.column[2] * v.z; }

Mat3 operator*(const Mat3& a, const Mat3& b) { return {{a * b.column[0], a * b.column[1], a * b.column[2]}}; }

Mat3 RotationAbout(const Vec3& axisIn, float angle) {
    const Vec3 a = Normalised(axisIn);
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    return {{{t * a.x * a.x + c, t * a.x * a.y + s * a.z, t * a.x * a.z - s * a.y},
             {t * a.x * a.y - s * a.z, t * a.y * a.y + c, t * a.y * a.z + s * a.x},
             {t * a.x * a.z + s * a.y, t * a.y * a.z - s * a.x, t * a.z * a.z + c}}};
}

Mat3 LookAt(const Vec3& from, const Vec3& to, const Vec3& up) {
    const Vec3 forward = Normalised(to - from);
    const Vec3 right = Normalised(Cross(forward, up));
    const Vec3 trueUp = Cross(right, forward);
    return {{right, trueUp, forward * -1.0f}};
}

AxisAngle ToAxisAngle(const Mat3& m) {
    // Through the quaternion, which is stable for every angle.
    const float m00 = m.column[0].x, m11 = m.column[1].y, m22 = m.column[2].z;
    const float m21 = m.column[1].z, m12 = m.column[2].y, m02 = m.column[2].x, m20 = m.column[0].z;
    const float m10 = m.column[0].y, m01 = m.column[1].x;
    float w, x, y, z;
    const float trace = m00 + m11 + m22;
    if (trace > 0.0f) {
        const float s = 0.5f / std::sqrt(trace + 1.0f);
        w = 0.25f / s, x = (m21 - m12) * s, y = (m02 - m20) * s, z = (m10 - m01) * s;
    } else if (m00 > m11 && m00 > m22) {
        const float s = 2.0f * std::sqrt(1.0f + m00 - m11 - m22);
        w = (m21 - m12) / s, x = 0.25f * s, y = (m01 + m10) / s, z = (m02 + m20) / s;
    } else if (m11 > m22) {
        const float s = 2.0f * std::sqrt(1.0f + m11 - m00 - m22);
        w = (m02 - m20) / s, x = (m01 + m10) / s, y = 0.25f * s, z = (m12 + m21) / s;
    } else {
        const float s = 2.0f * std::sqrt(1.0f + m22 - m00 - m11);
        w = (m10 - m01) / s, x = (m02 + m20) / s, y = (m12 + m21) / s, z = 0.25f * s;
    }
    const float sine = std::sqrt(x * x + y * y + z * z);
    if (sine < 1e-6f) return {{0, 0, 1}, 0.0f};
    return {{x / sine, y / sine, z / sine}, 2.0f * std::atan2(sine, w)};
}

AxisAngle CameraFileRotation(const Mat3& wanted) {
    // The importer appends a quarter turn of -pi/2 about x; undo it.
    return ToAxisAngle(wanted * RotationAbout({1, 0, 0}, 1.5707964f));
}
