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

// The section's fixed position in feet, as init reads it, and the number of its
// (last) position line; false when it has none.
bool sectionPosition(const DeviceSection& section, float position[3], std::uint32_t& line);

// The section without its transmitter and sensor rotation lines; the numbers of the
// lines left out go to `dropped`.
DeviceSection withoutRotations(const DeviceSection& section, std::vector<std::uint32_t>& dropped);
