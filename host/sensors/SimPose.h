// The simulated sensor's set-up and motion (trackhost --sim-mount, --sim-transmitter,
// --sim-motion, --sim-ports): a sensor mounted crooked behind a turned transmitter, a
// body that walks through the poses of an alignment, and the ports that have a sensor.
#pragma once

struct SimTurn {
    bool set = false;
    double axis[3] = {0.0, 0.0, 0.0};
    double degrees = 0.0;
};

enum class SimMotion { wave, align };

#include "bird/BirdLibrary.h"

// The serial ports 1 to 4 that have a simulated sensor; every one unless `set`.
struct SimPorts {
    bool set = false;
    bool present[bird::maxSensors] = {};
    bool noConfig[bird::maxSensors] = {}; // answers the wake-up, fails the configuration read
};
