// The three steps of an alignment, fed with the orientations a sensor delivers:
// level and facing the front, turned left about the vertical, tilted nose up. A
// step takes the first still pose at least 10 degrees from every pose taken before,
// so that holding still at the front again between two steps is passed over. A
// pose taken goes on being measured by every still reading while it is held.
#pragma once

#include "host/align/AlignFit.h"
#include "host/align/StillnessWatch.h"

class AlignProcedure {
public:
    enum class Step { front = 0, left = 1, up = 2, done = 3 };
    enum class Event { none, captured, finished };

    // A delivered orientation at `time` seconds. `captured`: the current step took it
    // and the next one begins; `finished`: the fit is made (or refused, see fit()).
    Event add(double time, const Rotation3& orientation);

    // The step that waits for its pose; done once finished.
    Step step() const { return current; }
    // The pose taken by a step that is over.
    const Rotation3& pose(Step step) const;
    // After `finished`: the rotations, or the problem that stopped the fit. A turn
    // below the limit finishes at the second step already.
    const AlignFit& fit() const { return result; }

private:
    Rotation3& pose(Step step);

    StillnessWatch watch;
    unsigned heldStretch = 0;    // the still stretch of the pose taken last
    std::uint64_t heldCount = 0; // how many of its readings took it
    Step current = Step::front;
    AlignPoses poses{};
    AlignFit result;
};

// Cycles per second of --align unless --rate is given: the rate at which a sensor of
// this kind measures, so that each still pose is the mean of every reading.
constexpr double alignRate = 100.0;

// The least turn between a pose taken and the next.
constexpr double alignStepChange = 10.0;
