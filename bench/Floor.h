// The arithmetic no sample can avoid, with the library functions the pose
// transformation calls, in double precision: a sine and a cosine of each of three
// angles, three arc tangents and a square root to extract the new angles, then a
// sine and a cosine of each of those. The glue between them is the least that
// keeps every step dependent on the one before, as in the transformation.
#pragma once

#include <cmath>

inline double floorArithmetic(double a1, double a2, double a3) {
    const double s1 = std::sin(a1), c1 = std::cos(a1);
    const double s2 = std::sin(a2), c2 = std::cos(a2);
    const double s3 = std::sin(a3), c3 = std::cos(a3);
    const double y = s1 * c2;
    const double x = c1 * c2;
    const double e1 = std::atan2(-y, x);
    const double e2 = std::atan2(s2, std::sqrt(x * x + y * y));
    const double e3 = std::atan2(s3 * c2, c3 * c2);
    const double t1 = std::sin(e1), u1 = std::cos(e1);
    const double t2 = std::sin(e2), u2 = std::cos(e2);
    const double t3 = std::sin(e3), u3 = std::cos(e3);
    return t1 * u2 + t2 * u3 + t3 * u1;
}
