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

// The settings --align writes: the two rotations it fits and the fixed position it
// keeps; `none` for a line of any other setting.
enum class AlignedSetting { none = -1, transmitterRotation, sensorRotation, position };
// The setting an option line with this keyword sets, in any of its spellings.
AlignedSetting alignedSetting(const std::string& keyword);

// The section without its transmitter and sensor rotation lines; the numbers of the
// lines left out go to `dropped`, and the lines themselves, as keyword and arguments
// separated by blanks, to `droppedLines`.
DeviceSection withoutRotations(const DeviceSection& section, std::vector<std::uint32_t>& dropped,
                               std::vector<std::string>& droppedLines);
