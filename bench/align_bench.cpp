// Accuracy of trackhost --align over random mounts: the simulated sensor, mounted
// crooked behind a turned transmitter and jittering, walks through the alignment's
// poses; its readings become poses as the device makes them and go through the
// alignment's steps; the printed lines are read and applied by the plug-in's own
// option reader and transforms. The error of a mount is the largest turn between an
// aligned pose and the body's true orientation, over the three poses of the
// procedure and 200 random orientations of the body.
//
//   align_bench [MOUNTS] [NOISE_DEGREES...]    default: 100 mounts, noise 0.05
#include "bird/BirdLibrary.h"
#include "device/ReceiveCycle.h"
#include "host/align/AlignLines.h"
#include "host/align/AlignProcedure.h"
#include "sim/birdsim.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

// Readings a second, as trackhost --align takes them by default.
constexpr int rateHz = static_cast<int>(alignRate);
constexpr int limitMs = 14000; // the simulated motion holds its last pose from 10.4 s

struct Turn {
    Vector3 axis;
    double degrees;
};

Turn randomTurn(std::mt19937& random) {
    std::normal_distribution<double> normal;
    std::uniform_real_distribution<double> angle(0.0, 180.0);
    return {{normal(random), normal(random), normal(random)}, angle(random)};
}

// The alignment of one mount: false when the steps did not finish with a fit.
bool align(const Turn& transmitter, const Turn& mount, double noise, AlignFit& fit) {
    birdsim_reset();
    birdsim_setClock(0);
    birdsim_setNoise(static_cast<float>(noise));
    birdsim_setMotion(birdsimMotionAlign);
    const auto set = [](void (*call)(float, float, float, float), const Turn& turn) {
        call(static_cast<float>(turn.axis[0]), static_cast<float>(turn.axis[1]),
             static_cast<float>(turn.axis[2]), static_cast<float>(turn.degrees));
    };
    set(birdsim_setTransmitter, transmitter);
    set(birdsim_setMount, mount);
    if (_3dbirdWakeUp(0, 1, 0, 0) == 0 || _3dbirdStartStream(0) == 0) {
        return false;
    }
    AlignProcedure procedure;
    for (int cycle = 0; cycle * 1000 / rateHz < limitMs; ++cycle) {
        birdsim_setClock(cycle * 1000 / rateHz);
        std::uint8_t reading[bird::readingSize];
        if (_3dbirdGetMostRecentReading(0, reading) == 0) {
            continue;
        }
        const TrackerPose pose = poseFromReading(reading, true);
        if (procedure.add(static_cast<double>(cycle) / rateHz,
                          poseRotation(pose.angle1, pose.angle2, pose.angle3)) ==
            AlignProcedure::Event::finished) {
            fit = procedure.fit();
            return fit.problem == AlignProblem::none;
        }
    }
    return false;
}

// The largest error of the aligned poses, in degrees.
double alignedError(const Turn& transmitter, const Turn& mount, const AlignFit& fit,
                    std::mt19937& random) {
    const LineTransforms plugin(alignLines(fit));
    if (!plugin.valid()) {
        return 180.0;
    }
    // The simulator's model: a body turned by R is measured as X^-1 R M^-1.
    const Rotation3 transmitterInverse =
        transposed(axisAngleRotation(transmitter.axis, transmitter.degrees));
    const Rotation3 mountInverse = transposed(axisAngleRotation(mount.axis, mount.degrees));
    std::vector<Rotation3> bodies = {identityRotation(), axisAngleRotation({0, 1, 0}, 70),
                                     axisAngleRotation({1, 0, 0}, 50)};
    for (int i = 0; i < 200; ++i) {
        const Turn body = randomTurn(random);
        bodies.push_back(axisAngleRotation(body.axis, body.degrees));
    }
    double worst = 0.0;
    for (const Rotation3& body : bodies) {
        double angles[3];
        poseAngles(transmitterInverse * body * mountInverse, angles);
        TrackerPose pose{};
        pose.angle1 = static_cast<float>(angles[0]);
        pose.angle2 = static_cast<float>(angles[1]);
        pose.angle3 = static_cast<float>(angles[2]);
        pose = plugin.apply(pose);
        worst = std::max(
            worst, rotationDistance(poseRotation(pose.angle1, pose.angle2, pose.angle3), body));
    }
    return worst;
}

} // namespace

int main(int argc, char** argv) {
    const int mounts = argc > 1 ? std::atoi(argv[1]) : 100;
    std::vector<double> noises;
    for (int i = 2; i < argc; ++i) {
        noises.push_back(std::atof(argv[i]));
    }
    if (noises.empty()) {
        noises.push_back(0.05);
    }
    std::printf("%d random mounts and transmitter turns, readings at %d Hz\n", mounts, rateHz);
    std::printf("%-12s %8s %12s %12s %12s %10s\n", "noise (RMS)", "aligned", "median (deg)",
                "95% (deg)", "worst (deg)", "within 0.2");
    for (const double noise : noises) {
        std::mt19937 random(20261207);
        std::vector<double> errors;
        for (int i = 0; i < mounts; ++i) {
            const Turn transmitter = randomTurn(random);
            const Turn mount = randomTurn(random);
            AlignFit fit;
            errors.push_back(align(transmitter, mount, noise, fit)
                                 ? alignedError(transmitter, mount, fit, random)
                                 : 180.0);
        }
        std::vector<double> sorted = errors;
        std::sort(sorted.begin(), sorted.end());
        const auto within =
            std::count_if(sorted.begin(), sorted.end(), [](double error) { return error <= 0.2; });
        const std::size_t n = sorted.size();
        std::printf("%-12.3f %5zu/%zu %12.4f %12.4f %12.4f %6ld/%zu\n", noise,
                    static_cast<std::size_t>(std::count_if(errors.begin(), errors.end(),
                                                           [](double e) { return e < 180.0; })),
                    n, sorted[n / 2], sorted[(n * 95 + 99) / 100 - 1], sorted.back(),
                    static_cast<long>(within), n);
    }
    return 0;
}
