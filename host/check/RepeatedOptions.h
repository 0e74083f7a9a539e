// Warnings about a setting given twice in one section: the plug-in reads the lines
// in file order, so the last one wins and the earlier one is silently lost.
#pragma once

#include <vector>

#include "host/check/CheckFinding.h"
#include "host/input/ConfigFile.h"

// One warning at each line that sets again what an earlier line of the section set.
std::vector<CheckFinding> warnRepeatedOptions(const DeviceSection& section);
