// Tells when a sensor is held still: over the last second of readings the
// orientation stayed within half a degree. The jitter of a sensor at rest is not
// motion, so the second is judged by the means of its fifths, each of which must lie
// within a quarter of a degree of the second's mean.
#pragma once

#include <deque>

#include "host/align/Rotation3.h"

class StillnessWatch {
public:
    explicit StillnessWatch(double seconds = 1.0, double degrees = 0.5);

    // The reading taken at `time` seconds (never earlier than the last one). True when
    // the readings of the last `seconds` were still; `still` is then the mean of their
    // later part.
    bool add(double time, const Rotation3& reading, Rotation3& still);
    // Forgets every reading: the next still pose takes a whole span of new ones.
    void restart() { readings.clear(); }

private:
    struct Reading {
        double time;
        Rotation3 sumBefore; // of every reading kept before this one
        Rotation3 sumAfter;  // ... and this one
    };
    // The mean of the readings from `first` to `last`, not yet made a rotation.
    Rotation3 mean(std::size_t first, std::size_t last) const;

    double span;
    double tolerance; // radians of a part's mean from the whole span's mean
    std::deque<Reading> readings;
};
