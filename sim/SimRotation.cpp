// Rotations for the simulated motion.
#include "sim/SimRotation.h"

#include <cmath>

Turn multiply(const Turn& a, const Turn& b) {
    Turn product{};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            product.m[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c];
        }
    }
    return product;
}

Turn transposed(const Turn& a) {
    Turn t{};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            t.m[r][c] = a.m[c][r];
        }
    }
    return t;
}

Turn axisTurn(double ax, double ay, double az, double radians) {
    double length = std::sqrt(ax * ax + ay * ay + az * az);
    if (length == 0.0) {
        ax = length = 1.0;
        radians = 0.0;
    }
    const double n[3] = {ax / length, ay / length, az / length};
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double t = 1.0 - c;
    return {{{c + t * n[0] * n[0], t * n[0] * n[1] - s * n[2], t * n[0] * n[2] + s * n[1]},
             {t * n[0] * n[1] + s * n[2], c + t * n[1] * n[1], t * n[1] * n[2] - s * n[0]},
             {t * n[0] * n[2] - s * n[1], t * n[1] * n[2] + s * n[0], c + t * n[2] * n[2]}}};
}

Turn eulerTurn(double a, double e, double r) {
    return multiply(axisTurn(0, 1, 0, a), multiply(axisTurn(1, 0, 0, e), axisTurn(0, 0, 1, r)));
}

void eulerAngles(const Turn& t, float angles[3]) {
    const double(&m)[3][3] = t.m;
    angles[0] = static_cast<float>(std::atan2(m[0][2], m[2][2]));
    angles[1] = static_cast<float>(std::atan2(-m[1][2], std::hypot(m[0][2], m[2][2])));
    angles[2] = static_cast<float>(std::atan2(m[1][0], m[1][1]));
}
