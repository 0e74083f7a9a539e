// Hands the simulated sensor's set-up, motion and ports of the command line to the
// simulator.
#pragma once

#include <iosfwd>

#include "host/sensors/SensorSettings.h"

// Once the plug-in is loaded. Answers exitSuccess, or exitUsage having said that the
// options need the simulator and the loaded sensor library is another one.
int steerSimPose(const SensorSettings& settings, std::ostream& err);
// The same for --sim-ports, once the sensor library is loaded (with the plug-in, or
// alone for a probe).
int steerSimPorts(const SensorSettings& settings, std::ostream& err);
