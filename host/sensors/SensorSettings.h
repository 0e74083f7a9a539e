// What a run asks of its sensors' readings: record them, replay a recording, or
// steer the simulated sensors (noise, drop-outs, a crooked mount and its motion).
#pragma once

#include <string>
#include <vector>

#include "host/sensors/SimDropout.h"
#include "host/sensors/SimPose.h"

struct SensorSettings {
    std::string recordFile; // --record: every reading the plug-in takes
    std::string replayFile; // --replay: the simulator plays this recording
    bool replayTimed = false;
    bool loop = false;
    double simNoise = 0.0; // degrees RMS added by the simulator
    std::vector<SimDropout> simDropouts;
    // --sim-mount, --sim-transmitter, --sim-motion: the simulated sensor's set-up.
    SimTurn simMount;
    SimTurn simTransmitter;
    SimMotion simMotion = SimMotion::wave;
    SimPorts simPorts; // --sim-ports
};
