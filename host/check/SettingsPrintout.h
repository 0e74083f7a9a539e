// trackhost --check --verbose: the settings a device would run a section with, as
// the plug-in's option readers leave them, the fixed position included.
#pragma once

#include <iosfwd>
#include <string>

#include "host/check/PluginOptionCheck.h"
#include "host/input/ConfigFile.h"

// Writes the section's header line and one line per setting to `out`:
//
//   [head] at my.conf:1
//     port                   1
//     reconnect              2000 ms
//     position               0 5.5 0 feet
//     transmitter rotation   1 0 0 / 0 0 1 / 0 -1 0
//
// The reconnection period is in milliseconds, as the device keeps it ("off" for
// none), lengths in feet, rotations the nine values by columns (as the matrix
// options take them), "none" for a setting not given. A section with problems
// (`refused`) says that init would refuse it.
void printSectionSettings(const DeviceSection& section, const PluginOptionReading& reading,
                          bool refused, const std::string& fileName, std::ostream& out);
