// 3x3 rotations in double precision for the alignment's fit: products, axis and
// angle, the orientation of a pose's three angles, distances and means.
#pragma once

#include <array>

using Vector3 = std::array<double, 3>;

// m[row][column]; turns column vectors.
struct Rotation3 {
    double m[3][3];
};

Rotation3 identityRotation();
Rotation3 operator*(const Rotation3& a, const Rotation3& b);
Vector3 operator*(const Rotation3& a, const Vector3& v);
Rotation3 transposed(const Rotation3& a);

// The right-handed turn by `degrees` about an axis of any non-zero length.
Rotation3 axisAngleRotation(const Vector3& axis, double degrees);
// The axis (unit length) and angle (0 to 180 degrees) of a rotation; the axis of no
// turn is +Y.
void rotationAxisAngle(const Rotation3& rotation, Vector3& axis, double& degrees);
// The angle of the turn from `a` to `b`, in degrees.
double rotationDistance(const Rotation3& a, const Rotation3& b);

// The orientation of a pose's azimuth, elevation and roll in degrees, as the plug-in
// builds it: Ry(angle1) Rx(angle2) Rz(angle3).
Rotation3 poseRotation(double angle1, double angle2, double angle3);
// The three angles of an orientation: angle1 and angle3 from -180 to 180, angle2 from
// -90 to 90.
void poseAngles(const Rotation3& rotation, double angles[3]);

// The rotation nearest a matrix that is nearly one (a mean of rotations).
Rotation3 nearestRotation(const Rotation3& matrix);

double dot(const Vector3& a, const Vector3& b);
Vector3 cross(const Vector3& a, const Vector3& b);
// `v` scaled to unit length; zero stays zero.
Vector3 normalised(const Vector3& v);
// The angle between two directions, in degrees.
double angleBetween(const Vector3& a, const Vector3& b);
