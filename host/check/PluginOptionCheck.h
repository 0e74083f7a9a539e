// The plug-in's own verdict on the option lines of one section, as init would
// give it, without waking a sensor: its option readers run on the section's
// lines and their reports (reason, label, line number) become findings.
#pragma once

#include <memory>
#include <vector>

#include "device/DeviceOptions.h"
#include "host/check/CheckFinding.h"
#include "host/input/ConfigFile.h"
#include "tracker/CTraCommonH.h"

// One section read by the plug-in's option readers: the settings a device would
// use and the problems, sorted by line.
struct PluginOptionReading {
    DeviceSettings device;
    std::unique_ptr<CTraCommonH> table; // transforms, CAVE switch, calibration library
    std::vector<CheckFinding> findings;
};

// Reads `section` as init does, but goes on past a failed reader, so that the
// device options, the transform options and the unknown-option check all report.
// A calibration library is loaded (not started) to see that init could use it,
// and asked about its arguments when it exports calib_check. A problem about a
// unit word is followed by a note of the words the plug-in takes. Nothing is
// written to standard output, and the record's lines are left unmarked.
PluginOptionReading readPluginOptions(const DeviceSection& section);

// The problems the plug-in's option readers find in `section`.
std::vector<CheckFinding> checkPluginOptions(const DeviceSection& section);
