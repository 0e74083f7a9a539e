// The alignment's computation: from the orientations measured at the front, turned
// left and tilted up, the transmitter rotation T that makes the turn a turn about +Y
// and the tilt a turn about +X, and the sensor rotation S with T Phi(front) S = 1,
// where T Phi S is what the plug-in makes of a measured orientation Phi.
#pragma once

#include "host/align/Rotation3.h"

// The limits below which the poses cannot give the rotations, in degrees.
constexpr double alignMinimumTurn = 20.0;
constexpr double alignMinimumTilt = 20.0;
constexpr double alignMinimumAxisSeparation = 20.0;

// The measured orientations, as the section without its rotation lines delivers them.
struct AlignPoses {
    Rotation3 front;
    Rotation3 left;
    Rotation3 up;
};

enum class AlignProblem { none, smallTurn, smallTilt, tiltAboutTurnAxis };

struct AlignFit {
    AlignProblem problem = AlignProblem::none;
    double turn = 0.0;           // degrees, front to left
    double tilt = 0.0;           // degrees, front to up
    double axisSeparation = 0.0; // degrees between the lines of the two axes
    double residual = 0.0;       // degrees the two axes were from perpendicular
    Rotation3 transmitter = identityRotation();
    Rotation3 sensor = identityRotation();
};

// The turn from the front pose to the left one, in degrees.
double alignTurn(const Rotation3& front, const Rotation3& left);

// The two rotations, or the problem that keeps the poses from giving them. The
// measured axes are made perpendicular by turning each by half the residual.
AlignFit fitAlignment(const AlignPoses& poses);
