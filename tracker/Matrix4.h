// 4x4 single-precision matrices and the builders of offset, rotation and transform.
#pragma once

// Element m[4c + r] is row r, column c; as a transform it maps (x, y, z) to
// m[r]x + m[4+r]y + m[8+r]z + m[12+r].
struct Matrix4 {
    float m[16];
};

// Degrees to radians as the single-precision constant the transforms have always
// used (not pi/180 in double precision): the rotations and the transformed poses
// reproduce it to the last float place.
constexpr float degreesToRadians = 0.01745329f;

bool zeroMatrix(Matrix4* matrix);
bool identityMatrix(Matrix4* matrix);
// Offset x, y, z in m[3], m[7], m[11]; every other element 0, m[15] included.
Matrix4 offsetMatrix(float x, float y, float z);
// Right-handed rotation by `angle` degrees about the axis; a zero axis gives the
// 3x3 identity with m[15] = 0.
Matrix4 axisAngleMatrix(float ax, float ay, float az, float angle);
// a0..a8 into m[0..2], m[4..6], m[8..10]; every other element 0.
Matrix4 matrixFromNine(float a0, float a1, float a2, float a3, float a4, float a5, float a6,
                       float a7, float a8);
// Rotation part m[0..11] from `rotation`, translation from the offset matrix, m[15] = 1.
Matrix4 combineTransform(Matrix4 rotation, Matrix4 offset);
