// trackhost's configuration checker: the configuration file read as for a run, and
// every problem and likely mistake in it reported in one pass, without loading the
// plug-in or waking a sensor. --check runs it alone; a run runs it first.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/check/CheckFinding.h"
#include "host/input/ConfigFile.h"

// The findings for sections read from `fileName`, sorted by line: too many
// sections, the plug-in's verdict on each section, what init would refuse across
// sections, and the warnings.
std::vector<CheckFinding> checkConfig(const std::vector<DeviceSection>& sections,
                                      const std::string& fileName);

// The check before a run: writes every finding to `err` as --check does and
// answers whether the run may go on, which it may unless there is a problem.
bool checkBeforeRun(const std::vector<DeviceSection>& sections, const std::string& fileName,
                    std::ostream& err);

// trackhost --check: reads and checks the file; writes "FILE:LINE: message" for
// each problem, "FILE:LINE: warning: message" for each warning and
// "FILE:LINE: note: message" for the help after a finding to `err`, and
// "FILE: N sections, no problems" when there is none; then, when `settings` is
// given (--verbose), each section's effective settings to it. Answers the exit
// code: success unless there is a problem (warnings alone do not fail).
int runCheck(const std::string& fileName, std::ostream& err, std::ostream* settings = nullptr);
