// The One Euro filter on one angle.
#include "OneEuroFilter.h"

#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

// The weight of a new sample in a first-order low-pass filter with this cutoff.
double smoothingFactor(double cutoffHz, double dtSeconds) {
    const double timeConstant = 1.0 / (2.0 * pi * cutoffHz);
    return 1.0 / (1.0 + timeConstant / dtSeconds);
}

} // namespace

double wrapDegrees(double angle) {
    const double wrapped = std::remainder(angle, 360.0); // [-180, 180]
    return wrapped == -180.0 ? 180.0 : wrapped;
}

double OneEuroFilter::filter(double angle, double seconds) {
    if (!started) {
        started = true;
        lastSeconds = seconds;
        input = output = wrapDegrees(angle);
        return output;
    }
    const double dt = seconds - lastSeconds;
    if (!(dt > 0.0)) {
        return wrapDegrees(output);
    }
    lastSeconds = seconds;
    input += std::remainder(angle - input, 360.0);
    // The speed from the last filtered angle, as the filter's authors do.
    const double rawSpeed = (input - output) / dt;
    speed += smoothingFactor(parameters.derivativeCutoff, dt) * (rawSpeed - speed);
    const double cutoff = parameters.minCutoff + parameters.beta * std::fabs(speed);
    output += smoothingFactor(cutoff, dt) * (input - output);
    // Keep both near the wrapped range, so many turns in one direction lose no precision.
    const double shift = output - wrapDegrees(output);
    output -= shift;
    input -= shift;
    return output;
}
