// Carrying a pose through the transmitter and sensor transforms.
#pragma once

#include "Matrix4.h"
#include "support/TrackerPose.h"

// Turns the three angles by the transmitter and sensor rotation blocks.
void transformOrientation(TrackerPose& pose, const Matrix4& transmitter, const Matrix4& sensor);
// Orientation as above, then the position through the transmitter transform, the
// sensor offset turned by the new orientation and the sensor translation.
// Does nothing when either transform is absent.
void transformPose(TrackerPose& pose, const Matrix4* transmitter, const Matrix4* sensor,
                   const float* translation);
