// trackhost --probe: the sensor on each serial port woken in turn through the sensor
// library, and a configuration to start from with a section for each one that
// answers; the machine's serial ports listed beside.
#pragma once

#include <iosfwd>

#include "host/HostOptions.h"

// Answers trackhost's exit code: exitSuccess when a sensor answered. The
// configuration goes to `out` (or, with --write, to its new file); every message to
// `err`.
int runProbe(const HostOptions& options, std::ostream& out, std::ostream& err);
