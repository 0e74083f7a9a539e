// The steps of an alignment.
#include "host/align/AlignProcedure.h"

const Rotation3& AlignProcedure::pose(Step step) const {
    return step == Step::front ? poses.front : step == Step::left ? poses.left : poses.up;
}

Rotation3& AlignProcedure::pose(Step step) {
    return step == Step::front ? poses.front : step == Step::left ? poses.left : poses.up;
}

AlignProcedure::Event AlignProcedure::add(double time, const Rotation3& orientation) {
    Rotation3 still;
    if (current == Step::done || !watch.add(time, orientation, still)) {
        return Event::none;
    }
    // A pose taken and still held: every reading of its stretch measures it.
    if (current != Step::front && watch.stretch() == heldStretch) {
        if (watch.heldCount() > heldCount) {
            pose(static_cast<Step>(static_cast<int>(current) - 1)) = watch.held();
        }
        return Event::none;
    }
    const bool moved =
        current == Step::front ||
        (rotationDistance(poses.front, still) >= alignStepChange &&
         (current == Step::left || rotationDistance(poses.left, still) >= alignStepChange));
    if (!moved) {
        return Event::none;
    }
    heldStretch = watch.stretch();
    heldCount = watch.stillCount();
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
