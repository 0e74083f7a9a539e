// Warnings about option values that the plug-in accepts but that are almost
// certainly mistakes: a decimal comma or text after a number in any numeric
// option (a unit after a length's number named with what it comes to), a rotation
// about no axis or by an angle too large for the plug-in's numbers, a matrix that
// is not a rotation, a length its record field cannot hold.
#pragma once

#include <vector>

#include "host/check/CheckFinding.h"
#include "host/input/ConfigFile.h"

// The warnings for the option lines of one section.
std::vector<CheckFinding> warnOptionValues(const DeviceSection& section);
