// The simulated sensor's set-up and motion (trackhost --sim-mount, --sim-transmitter,
// --sim-motion): a sensor mounted crooked behind a turned transmitter, and a body
// that walks through the poses of an alignment.
#pragma once

struct SimTurn {
    bool set = false;
    double axis[3] = {0.0, 0.0, 0.0};
    double degrees = 0.0;
};

enum class SimMotion { wave, align };
