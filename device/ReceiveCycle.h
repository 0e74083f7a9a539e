// The steps of the receive cycle that work on plain values: a sensor reading
// becomes a pose, and the pose is placed where the tracker table says.
#pragma once

#include <cstdint>

#include "support/TrackerPose.h"
#include "tracker/CTraCommonH.h"

// The pose of a reading block: its three angles from radians to degrees, the first
// and the third negated with CAVE coordinates on; the position is zero.
TrackerPose poseFromReading(const std::uint8_t* reading, bool caveCoordinates);

// Lets the calibration library correct the pose of a reading taken at `seconds`,
// puts in the fixed position (null: none) and carries the pose through the
// transmitter and sensor transforms of real tracker `rawId`. False when the
// calibration library cannot take the pose.
bool placePose(TrackerPose& pose, const CTraCommonH& table, std::uint32_t rawId,
               const float* fixedPosition, double seconds);
