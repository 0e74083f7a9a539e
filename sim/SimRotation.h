// Rotations for the simulated motion: a 3x3 rotation for column vectors, m[row][column],
// in double precision. The simulator's own, so that it checks the plug-in's transforms
// rather than sharing them.
#pragma once

struct Turn {
    double m[3][3];
};

Turn multiply(const Turn& a, const Turn& b);
Turn transposed(const Turn& a);
// Right-handed turn by `radians` about an axis; a zero axis turns nothing.
Turn axisTurn(double ax, double ay, double az, double radians);
// The orientation of azimuth a (about Y), elevation e (about X) and roll r (about Z),
// in radians: Ry(a) Rx(e) Rz(r).
Turn eulerTurn(double a, double e, double r);
// The azimuth, elevation and roll of a turn, in radians: eulerTurn's inverse.
void eulerAngles(const Turn& t, float angles[3]);
