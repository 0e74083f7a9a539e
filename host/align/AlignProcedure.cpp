// The steps of an alignment.
#include "host/align/AlignProcedure.h"

const Rotation3& AlignProcedure::pose(Step step) const {
    return step == Step::front ? poses.front : step == Step::left ? poses.left : poses.up;
}

AlignProcedure::Event AlignProcedure::add(double time, const Rotation3& orientation) {
    Rotation3 still;
    if (current == Step::done || !watch.add(time, orientation, still)) {
        return Event::none;
    }
    const bool moved =
        current == Step::front ||
        (rotationDistance(poses.front, still) >= alignStepChange &&
         (current == Step::left || rotationDistance(poses.left, still) >= alignStepChange));
    if (!moved) {
        return Event::none;
    }
    watch.restart();
    switch (current) {
    case Step::front:
        poses.front = still;
        current = Step::left;
        return Event::captured;
    case Step::left:
        poses.left = still;
        if (alignTurn(poses.front, still) < alignMinimumTurn) {
            result.problem = AlignProblem::smallTurn;
            result.turn = alignTurn(poses.front, still);
            current = Step::done;
            return Event::finished;
        }
        current = Step::up;
        return Event::captured;
    default:
        poses.up = still;
        result = fitAlignment(poses);
        current = Step::done;
        return Event::finished;
    }
}
