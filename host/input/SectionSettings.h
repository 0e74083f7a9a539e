// A section's device settings read as the plug-in's init will read them, for the run,
// the drop-outs and --align (--check --verbose prints them: host/check/SettingsPrintout).
#pragma once

#include "device/DeviceOptions.h"
#include "host/input/ConfigFile.h"

// Reads the port, reset, position and reconnect lines of `section` into `settings`
// without a log line, from a copy of its lines (the reader marks the lines it takes,
// and init must find them unmarked). False when one of them is bad, as init fails.
bool sectionSettings(const DeviceSection& section, DeviceSettings& settings);
