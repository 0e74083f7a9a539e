// The alignment's computation.
#include "host/align/AlignFit.h"

#include <algorithm>
#include <cmath>

double alignTurn(const Rotation3& front, const Rotation3& left) {
    return rotationDistance(front, left);
}

AlignFit fitAlignment(const AlignPoses& poses) {
    AlignFit fit;
    // Phi = A R B for a body turned by R, A the transmitter's turn and B the
    // mount's: Phi(pose) Phi(front)^-1 = A R A^-1 turns about A times R's axis.
    Vector3 turnAxis;
    Vector3 tiltAxis;
    rotationAxisAngle(poses.left * transposed(poses.front), turnAxis, fit.turn);
    rotationAxisAngle(poses.up * transposed(poses.front), tiltAxis, fit.tilt);
    const double between = angleBetween(turnAxis, tiltAxis);
    fit.axisSeparation = std::min(between, 180.0 - between);
    fit.residual = std::fabs(90.0 - between);
    if (fit.turn < alignMinimumTurn) {
        fit.problem = AlignProblem::smallTurn;
        return fit;
    }
    if (fit.axisSeparation < alignMinimumAxisSeparation) {
        fit.problem = AlignProblem::tiltAboutTurnAxis;
        return fit;
    }
    if (fit.tilt < alignMinimumTilt) {
        fit.problem = AlignProblem::smallTilt;
        return fit;
    }
    // The nearest perpendicular pair: the bisector and its normal in the axes' plane
    // stay, the axes are spread or closed to 90 degrees about them alike.
    const Vector3 sum = normalised(
        {turnAxis[0] + tiltAxis[0], turnAxis[1] + tiltAxis[1], turnAxis[2] + tiltAxis[2]});
    const Vector3 difference = normalised(
        {turnAxis[0] - tiltAxis[0], turnAxis[1] - tiltAxis[1], turnAxis[2] - tiltAxis[2]});
    const double half = std::sqrt(0.5);
    const Vector3 y = {half * (sum[0] + difference[0]), half * (sum[1] + difference[1]),
                       half * (sum[2] + difference[2])};
    const Vector3 x = {half * (sum[0] - difference[0]), half * (sum[1] - difference[1]),
                       half * (sum[2] - difference[2])};
    const Vector3 z = cross(x, y);
    // A has the measured axes as its columns; T = A^-1 takes them to +X, +Y, +Z.
    for (int c = 0; c < 3; ++c) {
        fit.transmitter.m[0][c] = x[c];
        fit.transmitter.m[1][c] = y[c];
        fit.transmitter.m[2][c] = z[c];
    }
    fit.sensor = transposed(fit.transmitter * poses.front);
    return fit;
}
