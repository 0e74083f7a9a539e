// Stillness of a sensor's readings.
#include "host/align/StillnessWatch.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int parts = 5;

// The turn between two means of nearby rotations, in radians: the Frobenius
// distance of rotations a small angle apart is that angle times the square root of 2.
double meanDistance(const Rotation3& a, const Rotation3& b) {
    double sum = 0.0;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            sum += (a.m[r][c] - b.m[r][c]) * (a.m[r][c] - b.m[r][c]);
        }
    }
    return std::sqrt(sum / 2.0);
}

// The mean of the readings whose sum is `after` less `before`, not yet made a rotation.
Rotation3 difference(const Rotation3& after, const Rotation3& before, double count) {
    Rotation3 result{};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            result.m[r][c] = (after.m[r][c] - before.m[r][c]) / count;
        }
    }
    return result;
}

} // namespace

StillnessWatch::StillnessWatch(double seconds, double degrees)
    : span(seconds), tolerance(degrees / 2.0 * 0.017453292519943295) {}

Rotation3 StillnessWatch::mean(std::size_t first, std::size_t last) const {
    return difference(readings[last].sumAfter, readings[first].sumBefore,
                      static_cast<double>(last - first + 1));
}

bool StillnessWatch::add(double time, const Rotation3& reading, Rotation3& still) {
    Reading next{time, 0, {}, {}};
    if (!readings.empty()) {
        next.index = readings.back().index + 1;
        next.sumBefore = readings.back().sumAfter;
    }
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            next.sumAfter.m[r][c] = next.sumBefore.m[r][c] + reading.m[r][c];
        }
    }
    readings.push_back(next);
    // Keep the span and the one reading at or before its start.
    while (readings.size() >= 2 && readings[1].time <= time - span) {
        readings.pop_front();
    }
    if (!spanStill(still)) {
        inStretch = false;
        return false;
    }
    extendStretch();
    return true;
}

bool StillnessWatch::spanStill(Rotation3& still) const {
    if (readings.size() < 2 || readings.front().time > readings.back().time - span) {
        return false;
    }
    const std::size_t count = readings.size();
    const Rotation3 whole = mean(0, count - 1);
    const std::size_t pieces = count < parts ? count : parts;
    for (std::size_t piece = 0; piece < pieces; ++piece) {
        const std::size_t first = piece * count / pieces;
        const std::size_t last = (piece + 1) * count / pieces - 1;
        if (meanDistance(mean(first, last), whole) > tolerance) {
            return false;
        }
    }
    // The pose is the mean of the last four fifths: the first may still hold the end
    // of the motion that came to rest, small enough to pass but not to leave in.
    still = nearestRotation(mean(count / pieces, count - 1));
    return true;
}

void StillnessWatch::extendStretch() {
    const std::size_t count = readings.size();
    const std::size_t pieces = count < parts ? count : parts;
    const Reading& first = readings[count / pieces];
    // A still span that has drifted from where the stretch stood starts one of its own.
    if (!inStretch ||
        (heldCount() > 0 && meanDistance(mean(count / pieces, count - 1), held()) > tolerance)) {
        stretchStart = {first.index, first.sumBefore};
        stretchEnd = stretchStart;
        inStretch = true;
        ++stretches;
    }
    const double until = readings.back().time - span * 2.0 / parts;
    for (auto reading = readings.rbegin(); reading != readings.rend(); ++reading) {
        if (reading->time <= until) {
            if (reading->index >= stretchEnd.index) {
                stretchEnd = {reading->index + 1, reading->sumAfter};
            }
            break;
        }
    }
}

Rotation3 StillnessWatch::held() const {
    return nearestRotation(
        difference(stretchEnd.sum, stretchStart.sum,
                   static_cast<double>(std::max<std::uint64_t>(heldCount(), 1))));
}
