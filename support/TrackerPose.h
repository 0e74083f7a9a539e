// One sensor's pose: position in feet, orientation in degrees.
#pragma once

struct TrackerPose {
    float x;
    float y;
    float z;
    float angle1; // azimuth, about Y
    float angle2; // elevation, about X
    float angle3; // roll, about Z
};

static_assert(sizeof(TrackerPose) == 24, "a pose is six floats, as calibration libraries see it");
