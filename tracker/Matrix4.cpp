// Matrix builders: zero, identity, offset, axis-angle rotation, nine values, combine.
#include "Matrix4.h"

#include <cmath>

bool zeroMatrix(Matrix4* matrix) {
    if (matrix == nullptr) {
        return false;
    }
    *matrix = Matrix4{};
    return true;
}

bool identityMatrix(Matrix4* matrix) {
    if (!zeroMatrix(matrix)) {
        return false;
    }
    matrix->m[0] = matrix->m[5] = matrix->m[10] = matrix->m[15] = 1.0f;
    return true;
}

Matrix4 offsetMatrix(float x, float y, float z) {
    Matrix4 result{};
    result.m[3] = x;
    result.m[7] = y;
    result.m[11] = z;
    return result;
}

Matrix4 axisAngleMatrix(float ax, float ay, float az, float angle) {
    const double len = std::sqrt(static_cast<double>(ax) * ax + static_cast<double>(ay) * ay +
                                 static_cast<double>(az) * az);
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double cs = 1.0;
    double sn = 0.0;
    if (len != 0.0) {
        x = ax / len;
        y = ay / len;
        z = az / len;
        const double theta = static_cast<double>(angle) * degreesToRadians;
        sn = static_cast<float>(std::sin(theta));
        cs = static_cast<float>(std::cos(theta));
    }
    const double t = 1.0 - cs;

    Matrix4 result{};
    float* m = result.m;
    m[0] = static_cast<float>(cs + t * x * x);
    m[1] = static_cast<float>(t * x * y + sn * z);
    m[2] = static_cast<float>(t * x * z - sn * y);
    m[4] = static_cast<float>(t * x * y - sn * z);
    m[5] = static_cast<float>(cs + t * y * y);
    m[6] = static_cast<float>(t * y * z + sn * x);
    m[8] = static_cast<float>(t * x * z + sn * y);
    m[9] = static_cast<float>(t * y * z - sn * x);
    m[10] = static_cast<float>(cs + t * z * z);
    return result;
}

Matrix4 matrixFromNine(float a0, float a1, float a2, float a3, float a4, float a5, float a6,
                       float a7, float a8) {
    Matrix4 result{};
    float* m = result.m;
    m[0] = a0;
    m[1] = a1;
    m[2] = a2;
    m[4] = a3;
    m[5] = a4;
    m[6] = a5;
    m[8] = a6;
    m[9] = a7;
    m[10] = a8;
    return result;
}

Matrix4 combineTransform(Matrix4 rotation, Matrix4 offset) {
    Matrix4 result = rotation;
    // m[0..11] stay the rotation's (its m[3], m[7], m[11] are zero); the offset
    // matrix keeps its x, y, z in m[3], m[7], m[11].
    result.m[12] = offset.m[3];
    result.m[13] = offset.m[7];
    result.m[14] = offset.m[11];
    result.m[15] = 1.0f;
    return result;
}
