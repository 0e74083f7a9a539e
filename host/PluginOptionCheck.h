// The plug-in's own verdict on the option lines of one section, as init would
// give it, without waking a sensor: the reports of its option readers (reason,
// label, line number) as findings.
#pragma once

#include <vector>

#include "CheckFinding.h"
#include "ConfigFile.h"

// The problems the plug-in's option readers find in `section`; none for now.
std::vector<CheckFinding> checkPluginOptions(const DeviceSection& section);
