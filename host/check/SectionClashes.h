// Findings across the sections of one configuration file: two sections on one
// serial port, which init refuses, and two sections with one name.
#pragma once

#include <cstdint>
#include <vector>

#include "host/check/CheckFinding.h"
#include "host/input/ConfigFile.h"

// `ports` holds the serial port each section's device would use, as the plug-in's
// option readers leave it; a port outside 1 to 4 is a problem of its own and is
// passed over here.
std::vector<CheckFinding> checkAcrossSections(const std::vector<DeviceSection>& sections,
                                              const std::vector<std::int32_t>& ports);
