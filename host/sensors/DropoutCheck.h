// --sim-dropout against the configuration and the run's length, checked before any
// sensor wakes: a drop-out on a port that no section uses would script nothing.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "host/input/ConfigFile.h"
#include "host/sensors/SimDropout.h"

// The names of the sections on serial port `port` whose device does not wake its sensor
// again by itself (no reconnect line, or reconnect 0).
std::vector<std::string> sectionsWithoutReconnect(const std::vector<DeviceSection>& sections,
                                                  std::int32_t port);

// False, having said which, when a drop-out names a port that no section of
// `fileName` uses (a section without a port line uses port 1). Warns of each drop-out
// that starts after the last of `cycles` cycles at `rate` (cycles -1: no end).
bool checkDropouts(const std::vector<SimDropout>& dropouts,
                   const std::vector<DeviceSection>& sections, const std::string& fileName,
                   std::int64_t cycles, double rate, std::ostream& err);
