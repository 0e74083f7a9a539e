// 3x3 rotations for the alignment's fit.
#include "host/align/Rotation3.h"

#include <cmath>
#include <cstddef>

namespace {

constexpr double degree = 0.017453292519943295; // radians

} // namespace

Rotation3 identityRotation() {
    return {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
}

Rotation3 operator*(const Rotation3& a, const Rotation3& b) {
    Rotation3 product{};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            product.m[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c];
        }
    }
    return product;
}

Vector3 operator*(const Rotation3& a, const Vector3& v) {
    Vector3 product{};
    for (int r = 0; r < 3; ++r) {
        product[r] = a.m[r][0] * v[0] + a.m[r][1] * v[1] + a.m[r][2] * v[2];
    }
    return product;
}

Rotation3 transposed(const Rotation3& a) {
    Rotation3 t{};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            t.m[r][c] = a.m[c][r];
        }
    }
    return t;
}

Rotation3 axisAngleRotation(const Vector3& axis, double degrees) {
    const Vector3 n = normalised(axis);
    const double c = std::cos(degrees * degree);
    const double s = std::sin(degrees * degree);
    const double t = 1.0 - c;
    return {{{c + t * n[0] * n[0], t * n[0] * n[1] - s * n[2], t * n[0] * n[2] + s * n[1]},
             {t * n[0] * n[1] + s * n[2], c + t * n[1] * n[1], t * n[1] * n[2] - s * n[0]},
             {t * n[0] * n[2] - s * n[1], t * n[1] * n[2] + s * n[0], c + t * n[2] * n[2]}}};
}

void rotationAxisAngle(const Rotation3& rotation, Vector3& axis, double& degrees) {
    const double(&m)[3][3] = rotation.m;
    // Twice the sine times the axis, from the skew part; the cosine from the trace.
    const Vector3 skew = {m[2][1] - m[1][2], m[0][2] - m[2][0], m[1][0] - m[0][1]};
    const double cosine = (m[0][0] + m[1][1] + m[2][2] - 1.0) / 2.0;
    const double sine = std::sqrt(dot(skew, skew)) / 2.0;
    degrees = std::atan2(sine, cosine) / degree;
    if (sine < 1e-12 && cosine > 0.0) {
        axis = {0, 1, 0};
        degrees = 0.0;
        return;
    }
    if (cosine > -0.5) {
        axis = normalised(skew);
        return;
    }
    // Near a half turn the skew part vanishes: the axis from the symmetric part,
    // whose largest diagonal term is the safest to divide by, its sign from the skew.
    std::size_t k = 0;
    for (std::size_t i = 1; i < 3; ++i) {
        if (m[i][i] > m[k][k]) {
            k = i;
        }
    }
    Vector3 column{};
    for (std::size_t i = 0; i < 3; ++i) {
        column[i] = (m[i][k] + m[k][i]) / 2.0 - (i == k ? cosine : 0.0);
    }
    axis = normalised(column);
    if (dot(axis, skew) < 0.0) {
        axis = {-axis[0], -axis[1], -axis[2]};
    }
}

double rotationDistance(const Rotation3& a, const Rotation3& b) {
    Vector3 axis;
    double degrees = 0.0;
    rotationAxisAngle(b * transposed(a), axis, degrees);
    return degrees;
}

Rotation3 poseRotation(double angle1, double angle2, double angle3) {
    return axisAngleRotation({0, 1, 0}, angle1) * axisAngleRotation({1, 0, 0}, angle2) *
           axisAngleRotation({0, 0, 1}, angle3);
}

void poseAngles(const Rotation3& rotation, double angles[3]) {
    const double(&m)[3][3] = rotation.m;
    angles[0] = std::atan2(m[0][2], m[2][2]) / degree;
    angles[1] = std::atan2(-m[1][2], std::hypot(m[0][2], m[2][2])) / degree;
    angles[2] = std::atan2(m[1][0], m[1][1]) / degree;
}

Rotation3 nearestRotation(const Rotation3& matrix) {
    // Newton's iteration for the polar factor: the mean with the inverse transposed.
    Rotation3 r = matrix;
    for (int iteration = 0; iteration < 8; ++iteration) {
        const double(&a)[3][3] = r.m;
        Rotation3 cofactor{};
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                const int i1 = (i + 1) % 3, i2 = (i + 2) % 3, j1 = (j + 1) % 3, j2 = (j + 2) % 3;
                cofactor.m[i][j] = a[i1][j1] * a[i2][j2] - a[i1][j2] * a[i2][j1];
            }
        }
        const double determinant =
            a[0][0] * cofactor.m[0][0] + a[0][1] * cofactor.m[0][1] + a[0][2] * cofactor.m[0][2];
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                r.m[i][j] = (a[i][j] + cofactor.m[i][j] / determinant) / 2.0;
            }
        }
    }
    return r;
}

double dot(const Vector3& a, const Vector3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Vector3 normalised(const Vector3& v) {
    const double length = std::sqrt(dot(v, v));
    return length == 0.0 ? v : Vector3{v[0] / length, v[1] / length, v[2] / length};
}

double angleBetween(const Vector3& a, const Vector3& b) {
    return std::atan2(std::sqrt(dot(cross(a, b), cross(a, b))), dot(a, b)) / degree;
}
