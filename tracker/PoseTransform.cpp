// Pose transformation: orientation through the transmitter and sensor rotation
// blocks, position through the transmitter transform, sensor offset and translation.
//
// The arithmetic runs in double precision and is narrowed to float only at the
// points marked f(); those points reproduce the poses the transforms have always
// delivered, down to the last float place, so they must not be moved.
#include "PoseTransform.h"

#include <cmath>

namespace {

// Single-precision constants; with degreesToRadians their product is 0.99999983,
// not 1, so every transformed angle shrinks a little. Kept so for compatibility.
constexpr float radiansToDegrees = 57.295776f;
constexpr float negRadiansToDegrees = -57.295776f;

inline double f(double value) {
    return static_cast<float>(value);
}

// Sines and cosines of the three pose angles; the products are not narrowed.
struct AngleTerms {
    double sa, ca, se, ce, sr, cr;
};

AngleTerms angleTerms(const TrackerPose& pose) {
    const double alpha = static_cast<double>(pose.angle1) * degreesToRadians;
    const double epsilon = static_cast<double>(pose.angle2) * degreesToRadians;
    const double rho = static_cast<double>(pose.angle3) * degreesToRadians;
    return {std::sin(alpha),   std::cos(alpha), std::sin(epsilon),
            std::cos(epsilon), std::sin(rho),   std::cos(rho)};
}

// Row r, column c of a rotation block.
inline double at(const Matrix4& matrix, int r, int c) {
    return matrix.m[4 * c + r];
}

// A 3x3 rotation, m[row][column].
struct Rotation {
    double m[3][3];
};

// Phi = Ry(angle1) Rx(angle2) Rz(angle3) of the measured pose, with the narrowing
// points of the orientation transform.
Rotation measuredOrientation(const AngleTerms& a) {
    const double ca = f(a.ca);
    const double sr = f(a.sr);
    const double p1 = f(a.sr * a.sa);
    const double p2 = f(ca * a.cr);
    const double p3 = f(a.cr * a.sa);
    return {{
        {f(p1 * a.se + p2), f(p3 * a.se - sr * ca), f(a.sa * a.ce)},
        {f(sr * a.ce), f(a.cr * a.ce), f(-a.se)},
        {f(sr * ca * a.se - p3), f(p2 * a.se + p1), a.ce * ca},
    }};
}

// The same matrix rebuilt from the transformed angles, with the narrowing points of
// the position transform: a pure rotation whatever the transforms were.
Rotation rebuiltOrientation(const AngleTerms& a) {
    const double ca = f(a.ca);
    const double cr = f(a.cr);
    const double p1 = f(a.sr * a.sa);
    const double p2 = f(cr * ca);
    const double p3 = f(cr * a.sa);
    const double p4 = f(ca * a.sr);
    return {{
        {p1 * a.se + p2, p3 * a.se - p4, a.sa * a.ce},
        {a.ce * a.sr, a.ce * cr, -a.se},
        {p4 * a.se - p3, p2 * a.se + p1, ca * a.ce},
    }};
}

} // namespace

void transformOrientation(TrackerPose& pose, const Matrix4& transmitter, const Matrix4& sensor) {
    const Rotation measured = measuredOrientation(angleTerms(pose));
    const double(&phi)[3][3] = measured.m;

    // V = T Phi.
    double v[3][3];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            v[r][c] = at(transmitter, r, 0) * phi[0][c] + at(transmitter, r, 1) * phi[1][c] +
                      at(transmitter, r, 2) * phi[2][c];
        }
    }
    v[1][1] = f(v[1][1]);
    v[1][2] = f(v[1][2]);
    v[2][0] = f(v[2][0]);
    v[2][1] = f(v[2][1]);
    v[2][2] = f(v[2][2]);

    // Phi' = V S; only the five elements the angles need.
    const auto product = [&](int r, int c) {
        return v[r][0] * at(sensor, 0, c) + v[r][1] * at(sensor, 1, c) + v[r][2] * at(sensor, 2, c);
    };
    const double q02 = f(product(0, 2));
    const double q10 = f(product(1, 0));
    const double q11 = f(product(1, 1));
    const double q12 = product(1, 2);
    const double q22 = product(2, 2);

    pose.angle1 = static_cast<float>(std::atan2(-q02, q22) * negRadiansToDegrees);
    pose.angle2 =
        static_cast<float>(std::atan2(-q12, std::sqrt(q22 * q22 + q02 * q02)) * radiansToDegrees);
    pose.angle3 = static_cast<float>(std::atan2(q10, q11) * radiansToDegrees);
}

void transformPose(TrackerPose& pose, const Matrix4* transmitter, const Matrix4* sensor,
                   const float* translation) {
    if (transmitter == nullptr || sensor == nullptr) {
        return;
    }
    const Matrix4& t = *transmitter;
    const Matrix4& s = *sensor;

    // The incoming position through the transmitter transform.
    double moved[3];
    for (int r = 0; r < 3; ++r) {
        moved[r] =
            f((t.m[r] * static_cast<double>(pose.x) + t.m[4 + r] * static_cast<double>(pose.y) +
               t.m[8 + r] * static_cast<double>(pose.z)) +
              t.m[12 + r]);
    }

    transformOrientation(pose, t, s);

    // The sensor offset turned by the new orientation.
    const Rotation turned = rebuiltOrientation(angleTerms(pose));
    const double(&phi)[3][3] = turned.m;
    float* position[3] = {&pose.x, &pose.y, &pose.z};
    for (int r = 0; r < 3; ++r) {
        *position[r] = static_cast<float>(phi[r][0] * s.m[12] + phi[r][1] * s.m[13] +
                                          phi[r][2] * s.m[14] + moved[r]);
    }

    if (translation != nullptr) {
        pose.x = static_cast<float>(static_cast<double>(pose.x) + translation[0]);
        pose.y = static_cast<float>(static_cast<double>(pose.y) + translation[1]);
        pose.z = static_cast<float>(static_cast<double>(pose.z) + translation[2]);
    }
}
