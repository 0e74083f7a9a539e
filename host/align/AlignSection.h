// The section --align aligns: the one it names, or the configuration's only one,
// read without its rotation lines, which the alignment replaces.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "host/input/ConfigFile.h"

// The section named `name`, or with an empty name the only one; null once the
// problem is told, naming `configFile`.
const DeviceSection* pickSection(const std::vector<DeviceSection>& sections,
                                 const std::string& name, const std::string& configFile,
                                 std::ostream& err);

// The section without its transmitter and sensor rotation lines; the numbers of the
// lines left out go to `dropped`.
DeviceSection withoutRotations(const DeviceSection& section, std::vector<std::uint32_t>& dropped);
