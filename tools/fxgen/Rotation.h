// Rotations for the generated scenes, as axis and angle: the form scene files
// carry. Right-handed, column vectors.
#pragma once

#include "Mesh.h"

struct Mat3 {
    Vec3 column[3];
};

struct AxisAngle {
    Vec3 axis;
    float angle;
};

Mat3 operator*(const Mat3& a, const Mat3& b);
Vec3 operator*(const Mat3& m, const Vec3& v);
Mat3 RotationAbout(const Vec3& axis, float angle);
// A camera at `from` looking at `to` (it looks down its own -z, +y up).
Mat3 LookAt(const Vec3& from, const Vec3& to, const Vec3& up);
AxisAngle ToAxisAngle(const Mat3& m);
// The orientation a scene file must give a camera so that, after the
// importer's quarter turn about x, the camera ends up at `wanted`.
AxisAngle CameraFileRotation(const Mat3& wanted);
