// Hands the simulated sensor's set-up and motion of the command line to the simulator.
#pragma once

#include <iosfwd>

#include "host/sensors/SensorSettings.h"

// Once the plug-in is loaded. Answers exitSuccess, or exitUsage having said that the
// options need the simulator and the loaded sensor library is another one.
int steerSimPose(const SensorSettings& settings, std::ostream& err);
