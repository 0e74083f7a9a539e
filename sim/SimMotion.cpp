// The simulated bodies' motion: the wave, the alignment's script, and the turns of
// transmitter and mount.
#include "sim/SimMotion.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double radiansPerDegree = 0.017453292519943295;

// Without a fixed reading each sensor turns smoothly about all three axes: per angle two
// sines that start at zero, so the motion restarts from the zero orientation at wake-up and
// at each orientation reset. The amplitudes add up to less than 0.8 rad per angle.
struct Wave {
    double amplitude; // radians
    double period;    // seconds
};
constexpr Wave waves[3][2] = {
    {{0.55, 7.0}, {0.20, 2.3}},
    {{0.35, 5.0}, {0.10, 1.7}},
    {{0.25, 4.1}, {0.10, 3.3}},
};

float waveAngle(std::int32_t deviceIndex, int angle, double seconds) {
    constexpr double twoPi = 6.283185307179586;
    // Each index moves at its own pace and every other one the other way round.
    const double pace = 1.0 + 0.15 * deviceIndex;
    const double sign = deviceIndex % 2 == 0 ? 1.0 : -1.0;
    double sum = 0.0;
    for (const Wave& wave : waves[angle]) {
        sum += wave.amplitude * std::sin(twoPi * seconds / (wave.period * pace));
    }
    return static_cast<float>(sign * sum);
}

// The alignment's script: azimuth and elevation of the body in degrees at `seconds`.
// It repeats every 12 s, from the front where it ended, so that a viewer opened late
// still sees it.
void alignPose(double seconds, double& azimuth, double& elevation) {
    constexpr double period = 12.0;
    const double t = std::fmod(std::max(0.0, seconds), period);
    // From 0 to 1 over [from, to], smoothly.
    const auto ramp = [t](double from, double to) {
        const double u = std::min(1.0, std::max(0.0, (t - from) / (to - from)));
        return 0.5 - 0.5 * std::cos(3.141592653589793 * u);
    };
    constexpr double turn = 70.0;
    constexpr double tilt = 50.0;
    // Settling at the front the first time, the turn and back, the tilt and back.
    const double unsettled = seconds < period ? 1.0 - ramp(0.0, 0.8) : 0.0;
    azimuth = 15.0 * unsettled + turn * (ramp(2.6, 3.8) - ramp(5.6, 6.6));
    elevation = -10.0 * unsettled + tilt * (ramp(6.6, 7.6) - ramp(9.4, 10.4));
}

} // namespace

void SimMotion::setKind(std::int32_t motion) {
    kind = motion == birdsimMotionAlign ? birdsimMotionAlign : birdsimMotionWave;
}

void SimMotion::setTransmitter(float ax, float ay, float az, float degrees) {
    transmitterInverse = transposed(axisTurn(ax, ay, az, degrees * radiansPerDegree));
    mounted = true;
}

void SimMotion::setMount(float ax, float ay, float az, float degrees) {
    mountInverse = transposed(axisTurn(ax, ay, az, degrees * radiansPerDegree));
    mounted = true;
}

void SimMotion::reading(std::int32_t deviceIndex, double seconds, float angles[3]) const {
    if (kind != birdsimMotionAlign && !mounted) {
        for (int i = 0; i < 3; ++i) {
            angles[i] = waveAngle(deviceIndex, i, seconds);
        }
        return;
    }
    Turn body;
    if (kind == birdsimMotionAlign) {
        double azimuth = 0.0;
        double elevation = 0.0;
        alignPose(seconds, azimuth, elevation);
        body = eulerTurn(azimuth * radiansPerDegree, elevation * radiansPerDegree, 0.0);
    } else {
        body = eulerTurn(-waveAngle(deviceIndex, 0, seconds), waveAngle(deviceIndex, 1, seconds),
                         -waveAngle(deviceIndex, 2, seconds));
    }
    eulerAngles(multiply(transmitterInverse, multiply(body, mountInverse)), angles);
    angles[0] = -angles[0];
    angles[2] = -angles[2];
}
