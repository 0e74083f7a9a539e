// trackhost --check: the configuration file read as for a run, and every problem
// and likely mistake in it reported in one pass, without loading the plug-in or
// waking a sensor.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/check/CheckFinding.h"
#include "host/input/ConfigFile.h"

// The findings for sections read from `fileName`, sorted by line: too many
// sections, the plug-in's verdict on each section and the warnings.
std::vector<CheckFinding> checkConfig(const std::vector<DeviceSection>& sections,
                                      const std::string& fileName);

// Reads and checks the file; writes "FILE:LINE: message" for each problem and
// "FILE:LINE: warning: message" for each warning to `err`, then, when `settings`
// is given (--verbose), each section's effective settings to it. Answers the exit
// code: success unless there is a problem (warnings alone do not fail).
int runCheck(const std::string& fileName, std::ostream& err, std::ostream* settings = nullptr);
