// Tells when a sensor is held still: over the last second of readings the
// orientation stayed within half a degree. The jitter of a sensor at rest is not
// motion, so the second is judged by the means of its fifths, each of which must lie
// within a quarter of a degree of the second's mean. A pose held longer is measured
// by every reading of its still stretch, not by its first second alone.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>

#include "host/align/Rotation3.h"

class StillnessWatch {
public:
    explicit StillnessWatch(double seconds = 1.0, double degrees = 0.5);

    // The reading taken at `time` seconds (never earlier than the last one). True when
    // the readings of the last `seconds` were still; `still` is then the mean of their
    // later part.
    bool add(double time, const Rotation3& reading, Rotation3& still);
    // The mean of the still stretch the last still span began or went on, a rotation:
    // its readings from the first still span's later part up to those two fifths of a
    // span before the last still one (the later ones may hold the start of a motion).
    Rotation3 held() const;
    // How many readings held() is the mean of.
    std::uint64_t heldCount() const { return stretchEnd.index - stretchStart.index; }
    // How many readings the last still pose add() answered is the mean of.
    std::uint64_t stillCount() const {
        return readings.size() - readings.size() / std::min<std::size_t>(readings.size(), 5);
    }
    // Counts the still stretches: it changes when a still span follows one that was not.
    unsigned stretch() const { return stretches; }

private:
    // The sums are of every reading since the watch began, so that any run of
    // readings has its sum as a difference.
    struct Reading {
        double time;
        std::uint64_t index; // readings before this one
        Rotation3 sumBefore; // of every reading before this one
        Rotation3 sumAfter;  // ... and this one
    };
    // The readings before a stretch's first, or up to its last.
    struct Mark {
        std::uint64_t index = 0;
        Rotation3 sum{};
    };
    // The mean of the readings from `first` to `last`, not yet made a rotation.
    Rotation3 mean(std::size_t first, std::size_t last) const;

    // Whether the last `span` of readings was still; `still` as add() answers it.
    bool spanStill(Rotation3& still) const;
    // The still span begins a stretch, or goes on with the last one.
    void extendStretch();

    double span;
    double tolerance; // radians of a part's mean from the whole span's mean
    std::deque<Reading> readings;
    bool inStretch = false;
    unsigned stretches = 0;
    Mark stretchStart;
    Mark stretchEnd;
};
