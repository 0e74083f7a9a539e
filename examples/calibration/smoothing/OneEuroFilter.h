// The One Euro filter (Casiez, Roussel and Vogel, CHI 2012) for one angle in degrees:
// a first-order low-pass filter whose cutoff rises with the angle's speed, so that
// an angle at rest keeps little jitter and a moving one little lag.
//
// Angles are filtered unwrapped: each new angle is taken as the previous one plus
// the shortest turn to it, so a turn through +-180 degrees is a small step, not a
// jump of 360, and the output is wrapped back into (-180, 180].
#pragma once

struct OneEuroParameters {
    double minCutoff = 0.5;        // Hz: the cutoff at rest
    double beta = 0.1;             // Hz per degree per second: how fast the cutoff rises
    double derivativeCutoff = 1.0; // Hz: the cutoff of the speed estimate
};

class OneEuroFilter {
public:
    OneEuroFilter() = default; // with the default parameters
    explicit OneEuroFilter(const OneEuroParameters& parameters) : parameters(parameters) {}

    // The filtered angle for `angle` (degrees) taken at `seconds` on a monotonic
    // clock. The first sample passes unchanged; a sample no later than the one
    // before answers the last filtered angle.
    double filter(double angle, double seconds);

private:
    OneEuroParameters parameters;
    bool started = false;
    double lastSeconds = 0.0;
    double input = 0.0;  // the last angle, unwrapped
    double output = 0.0; // the filtered angle, unwrapped, kept within (-180, 180]
    double speed = 0.0;  // the filtered speed, degrees per second
};

// An angle in degrees wrapped into (-180, 180].
double wrapDegrees(double angle);
