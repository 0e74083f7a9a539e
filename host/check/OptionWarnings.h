// Warnings about option values that the plug-in accepts but that are almost
// certainly mistakes: a decimal comma, text after a number, a rotation about no
// axis, a matrix that is not a rotation, a length its record field cannot hold,
// and two sections on one port or with one name.
#pragma once

#include <vector>

#include "host/check/CheckFinding.h"
#include "host/input/ConfigFile.h"

// The warnings for the option lines of one section.
std::vector<CheckFinding> warnOptionValues(const DeviceSection& section);

// The warnings across sections: two on one port (a section without a port line
// is on port 1), two with one name.
std::vector<CheckFinding> warnAcrossSections(const std::vector<DeviceSection>& sections);
